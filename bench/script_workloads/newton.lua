-- A 1-D float table and repeat loops with a compound until: square roots by Newton's method.
local n = 20000
local v, r = {}, {}
for i = 0, n - 1 do v[i] = 1.0 + i * 0.37 end
local total, turns = 0.0, 0
for round = 1, 40 do
  for i = 0, n - 1 do
    local x = v[i]
    local k = 0
    local d
    repeat
      local nxt = (x + v[i] / x) / 2.0
      d = nxt - x
      if d < 0.0 then d = -d end
      x = nxt
      k = k + 1
    until d < 0.000000001 or k >= 60
    r[i] = x
    turns = turns + k
  end
end
for i = 0, n - 1 do total = total + r[i] end
print(string.format("%.6f", total) .. " " .. turns)
