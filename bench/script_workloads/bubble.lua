-- A 1-D integer array sorted in place: bubble sort whose passes end once one swaps nothing.
local n = 4000
local a = {}
local seed = 7
for i = 0, n - 1 do
  seed = (seed * 75 + 74) % 65537
  a[i] = seed
end
local sorted, last = false, n - 1
while not sorted do
  sorted = true
  for i = 0, last - 1 do
    if a[i] > a[i + 1] then
      local t = a[i]
      a[i] = a[i + 1]
      a[i + 1] = t
      sorted = false
    end
  end
  last = last - 1
end
local check = 0
for i = 0, n - 1 do check = (check * 31 + a[i]) % 1000003 end
print(a[0] .. " " .. a[n - 1] .. " " .. check)
