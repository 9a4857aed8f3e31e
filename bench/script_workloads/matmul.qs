{ Float 2-D arrays: the product of two 200 x 200 matrices in three nested loops. }
n := 200;
SetArray(a, FLOAT, n, n);
SetArray(b, FLOAT, n, n);
SetArray(c, FLOAT, n, n);
for i := 0 to n - 1 do
  for j := 0 to n - 1 do
  begin
    a[i, j] := (i - j) / n;
    b[i, j] := ((i + j) * 0.5) / n
  end;
for i := 0 to n - 1 do
  for j := 0 to n - 1 do
  begin
    sum := 0.0;
    for k := 0 to n - 1 do sum := sum + a[i, k] * b[k, j];
    c[i, j] := sum
  end;
trace := 0.0;
for i := 0 to n - 1 do trace := (trace + c[i, i]) + c[i, (n - 1) - i];
Print(format('%.6f', trace))
