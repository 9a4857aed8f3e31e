{ Built-in string calls: IntToStr, format, copy, pos and length. }
total := 0;
for i := 1 to 200000 do
begin
  s := IntToStr(i);
  t := format('%d-%s', i, s);
  u := copy(t, 2, 3);
  total := total + pos('-', t) + length(u)
end;
Print(total)
