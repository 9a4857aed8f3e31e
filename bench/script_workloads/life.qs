{ 2-D BOOLEAN and INTEGER arrays: generations of a game of life on a 64 x 64 torus. }
n := 64;
SetArray(alive, BOOLEAN, n, n);
SetArray(count, INTEGER, n, n);
seed := 11;
for y := 0 to n - 1 do
  for x := 0 to n - 1 do
  begin
    seed := (seed * 75 + 74) mod 65537;
    alive[x, y] := seed mod 3 = 0
  end;
for gen := 1 to 400 do
begin
  for y := 0 to n - 1 do
    for x := 0 to n - 1 do
      count[x, y] := 0;
  for y := 0 to n - 1 do
    for x := 0 to n - 1 do
      if alive[x, y] then
        for dy := n - 1 to n + 1 do
          for dx := n - 1 to n + 1 do
            if (dx <> n) or (dy <> n) then
              count[(x + dx) mod n, (y + dy) mod n] := count[(x + dx) mod n, (y + dy) mod n] + 1;
  for y := 0 to n - 1 do
    for x := 0 to n - 1 do
      alive[x, y] := (count[x, y] = 3) or (alive[x, y] and (count[x, y] = 2))
end;
population := 0;
for y := 0 to n - 1 do
  for x := 0 to n - 1 do
    if alive[x, y] then population := population + x + y * n;
Print(population)
