-- String building: appending and prepending pieces, trimming, keeping the greatest text.
local alpha = "abcdefghijklmnopqrstuvwxyz"
local s, best, total = "", "", 0
for i = 1, 1000000 do
  if i % 7 == 0 then
    local k = i % 26 + 1
    s = alpha:sub(k, k + 1) .. s
  else
    local k = (i * 7) % 26 + 1
    s = s .. alpha:sub(k, k)
  end
  if #s > 40 then s = s:sub(16) end
  if s > best then best = s end
  total = total + #s
end
print(total .. " " .. best)
