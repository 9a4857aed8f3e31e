-- Primes below 100000 by trial division.
local count = 0
for n = 2, 99999 do
  local prime = true
  local d = 2
  while d * d <= n do
    if n % d == 0 then
      prime = false
      break
    end
    d = d + 1
  end
  if prime then count = count + 1 end
end
print(count)
