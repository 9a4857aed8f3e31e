{ A 1-D integer array sorted in place: bubble sort whose passes end once one swaps nothing. }
n := 4000;
SetArray(a, INTEGER, n);
seed := 7;
for i := 0 to n - 1 do
begin
  seed := (seed * 75 + 74) mod 65537;
  a[i] := seed
end;
sorted := false;
last := n - 1;
while not sorted do
begin
  sorted := true;
  for i := 0 to last - 1 do
    if a[i] > a[i + 1] then
    begin
      t := a[i];
      a[i] := a[i + 1];
      a[i + 1] := t;
      sorted := false
    end;
  last := last - 1
end;
check := 0;
for i := 0 to n - 1 do check := (check * 31 + a[i]) mod 1000003;
Print(a[0], a[n - 1], check)
