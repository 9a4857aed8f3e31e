-- Filling and summing a 1000000-element table.
local a = {}
for i = 1, 1000000 do a[i] = (i - 1) % 1000 end
local total = 0
for i = 1, 1000000 do total = total + a[i] end
print(total)
