-- Float 2-D arrays: the product of two 200 x 200 matrices in three nested loops.
local n = 200
local a, b, c = {}, {}, {}
for i = 0, n - 1 do
  a[i], b[i], c[i] = {}, {}, {}
  for j = 0, n - 1 do
    a[i][j] = (i - j) / n
    b[i][j] = (i + j) * 0.5 / n
  end
end
for i = 0, n - 1 do
  for j = 0, n - 1 do
    local sum = 0.0
    for k = 0, n - 1 do sum = sum + a[i][k] * b[k][j] end
    c[i][j] = sum
  end
end
local trace = 0.0
for i = 0, n - 1 do trace = trace + c[i][i] + c[i][n - 1 - i] end
print(string.format("%.6f", trace))
