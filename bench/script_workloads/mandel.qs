{ Float arithmetic in nested loops: escape counts of a 350 x 350 grid over the Mandelbrot set,
  a while loop with a compound condition. }
size := 350;
limit := 200;
total := 0;
for py := 0 to size - 1 do
  for px := 0 to size - 1 do
  begin
    cr := (px * 3.0) / size - 2.0;
    ci := (py * 2.4) / size - 1.2;
    x := 0.0;
    y := 0.0;
    n := 0;
    while (n < limit) and (x * x + y * y <= 4.0) do
    begin
      t := (x * x - y * y) + cr;
      y := (2.0 * x) * y + ci;
      x := t;
      n := n + 1
    end;
    total := total + n
  end;
Print(total)
