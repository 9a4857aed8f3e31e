-- Workload 2: primes below 20000 by trial division, then a 2000-character string.
local count = 0
for n = 2, 19999 do
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
local s = ''
for i = 1, 2000 do s = s .. 'x' end
print(count, #s)
