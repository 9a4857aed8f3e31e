{ Boolean flags: a sieve over a 1-D BOOLEAN array, repeated, and the twin primes counted with
  not, and and or. }
limit := 200000;
SetArray(composite, BOOLEAN, limit + 1);
twins := 0;
for round := 1 to 20 do
begin
  for i := 0 to limit do composite[i] := false;
  composite[0] := true;
  composite[1] := true;
  i := 2;
  while i * i <= limit do
  begin
    if not composite[i] then
    begin
      j := i * i;
      while j <= limit do
      begin
        composite[j] := true;
        j := j + i
      end
    end;
    i := i + 1
  end;
  for i := 3 to limit - 2 do
    if not (composite[i] or composite[i + 2]) then twins := twins + 1
end;
Print(twins)
