{ String searching: a text built from words, searched with pos over what copy leaves after
  each match, and the words counted by their first letter. }
words := 'alpha beta gamma delta epsilon zeta eta theta iota kappa ';
text := '';
for i := 1 to 400 do
  text := text + copy(words, (i * 13) mod 50 + 1, 9);
found := 0;
letters := 0;
for round := 1 to 2000 do
begin
  rest := text;
  p := pos('ta', rest);
  while p > 0 do
  begin
    found := found + 1;
    if (p > 1) and (copy(rest, p - 1, 1) = 'e') then letters := letters + p mod 5;
    rest := copy(rest, p + 2, length(rest));
    p := pos('ta', rest)
  end
end;
Print(length(text), found, letters)
