{ A 1-D FLOAT array and repeat loops with a compound until: square roots by Newton's method,
  with negation and division. }
n := 20000;
SetArray(v, FLOAT, n);
SetArray(r, FLOAT, n);
for i := 0 to n - 1 do v[i] := 1.0 + i * 0.37;
total := 0.0;
turns := 0;
for round := 1 to 40 do
  for i := 0 to n - 1 do
  begin
    x := v[i];
    k := 0;
    repeat
      next := (x + v[i] / x) / 2.0;
      d := next - x;
      if d < 0.0 then d := -d;
      x := next;
      k := k + 1
    until (d < 0.000000001) or (k >= 60);
    r[i] := x;
    turns := turns + k
  end;
for i := 0 to n - 1 do total := total + r[i];
Print(format('%.6f', total), turns)
