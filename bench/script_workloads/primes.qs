{ Primes below 100000 by trial division. }
count := 0;
for n := 2 to 99999 do
begin
  prime := true;
  d := 2;
  while d * d <= n do
  begin
    if n mod d = 0 then
    begin
      prime := false;
      break
    end;
    d := d + 1
  end;
  if prime then inc(count)
end;
Print(count)
