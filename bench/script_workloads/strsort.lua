-- A 1-D string table sorted in place by insertion; the empty text at index 0 stops every shift.
local n = 4000
local a = {}
local alpha = "qwertyuiopasdfghjklzxcvbnm"
local seed = 5
a[0] = ""
for i = 1, n do
  seed = (seed * 75 + 74) % 65537
  local k = seed % 20 + 1
  a[i] = alpha:sub(k, k + 3) .. tostring(seed % 97)
end
for i = 2, n do
  local key = a[i]
  local j = i
  while a[j - 1] > key and j > 1 do
    a[j] = a[j - 1]
    j = j - 1
  end
  a[j] = key
end
local check = 0
for i = 1, n do check = (check * 7 + #a[i] + (string.find(a[i], "a", 1, true) or 0)) % 1000003 end
print(a[1] .. " " .. a[n] .. " " .. check)
