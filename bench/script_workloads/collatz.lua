-- Integer div and mod with branches in a while loop: Collatz chain lengths below 100000.
local floor = math.floor
local steps, longest, digits = 0, 0, 0
for start = 1, 99999 do
  local n, len = start, 0
  while n ~= 1 do
    if n % 2 == 0 then n = floor(n / 2) else n = 3 * n + 1 end
    len = len + 1
  end
  local m = len
  while m > 0 do
    digits = digits + m % 10
    m = floor(m / 10)
  end
  steps = steps + len
  if len > longest then longest = len end
end
print(steps .. " " .. longest .. " " .. digits)
