-- A counting loop with integer addition.
local x = 0
for i = 1, 20000000 do x = x + i end
print(x)
