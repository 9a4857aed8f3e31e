-- Workload 1: a counting loop with integer addition.
local x = 0
for i = 1, 10000000 do x = x + i end
print(x)
