{ String building: appending and prepending pieces cut with copy, trimming with delete,
  measuring with length and keeping the greatest text by comparison. }
alpha := 'abcdefghijklmnopqrstuvwxyz';
s := '';
best := '';
total := 0;
for i := 1 to 1000000 do
begin
  if i mod 7 = 0 then
    s := copy(alpha, i mod 26 + 1, 2) + s
  else
    s := s + copy(alpha, (i * 7) mod 26 + 1, 1);
  if length(s) > 40 then delete(s, 1, 15);
  if s > best then best := s;
  total := total + length(s)
end;
Print(total, best)
