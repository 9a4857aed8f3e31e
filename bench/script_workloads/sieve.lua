-- Boolean flags: a sieve over a boolean table, repeated, and the twin primes counted.
local limit = 200000
local composite = {}
local twins = 0
for round = 1, 20 do
  for i = 0, limit do composite[i] = false end
  composite[0] = true
  composite[1] = true
  local i = 2
  while i * i <= limit do
    if not composite[i] then
      local j = i * i
      while j <= limit do
        composite[j] = true
        j = j + i
      end
    end
    i = i + 1
  end
  for k = 3, limit - 2 do
    if not (composite[k] or composite[k + 2]) then twins = twins + 1 end
  end
end
print(twins)
