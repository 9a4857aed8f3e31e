{ A 1-D STRING array sorted in place by insertion, with a compound while condition over
  string comparisons; the empty text at index 0 stops every shift. }
n := 4000;
SetArray(a, STRING, n + 1);
alpha := 'qwertyuiopasdfghjklzxcvbnm';
seed := 5;
a[0] := '';
for i := 1 to n do
begin
  seed := (seed * 75 + 74) mod 65537;
  a[i] := copy(alpha, seed mod 20 + 1, 4) + IntToStr(seed mod 97)
end;
for i := 2 to n do
begin
  key := a[i];
  j := i;
  while (a[j - 1] > key) and (j > 1) do
  begin
    a[j] := a[j - 1];
    j := j - 1
  end;
  a[j] := key
end;
check := 0;
for i := 1 to n do
begin
  s := a[i];
  check := (check * 7 + length(s) + pos('a', s)) mod 1000003
end;
Print(a[1], a[n], check)
