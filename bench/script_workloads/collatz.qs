{ Integer div and mod with branches in a while loop: Collatz chain lengths below 100000 and
  the digit sums of their steps. }
steps := 0;
longest := 0;
digits := 0;
for start := 1 to 99999 do
begin
  n := start;
  len := 0;
  while n <> 1 do
  begin
    if n mod 2 = 0 then
      n := n div 2
    else
      n := 3 * n + 1;
    len := len + 1
  end;
  m := len;
  while m > 0 do
  begin
    digits := digits + m mod 10;
    m := m div 10
  end;
  steps := steps + len;
  if len > longest then longest := len
end;
Print(steps, longest, digits)
