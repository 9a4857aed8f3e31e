{ Workload 2: primes below 20000 by trial division, then a 2000-character string. }
count := 0;
for n := 2 to 19999 do
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
s := '';
for i := 1 to 2000 do s := s + 'x';
Print(count, length(s))
