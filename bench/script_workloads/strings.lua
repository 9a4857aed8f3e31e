-- Built-in string calls: tostring, string.format, sub, find and the length operator.
local total = 0
for i = 1, 200000 do
  local s = tostring(i)
  local t = string.format('%d-%s', i, s)
  local u = string.sub(t, 2, 4)
  total = total + string.find(t, '-', 1, true) + #u
end
print(total)
