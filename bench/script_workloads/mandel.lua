-- Float arithmetic in nested loops: escape counts of a 350 x 350 grid over the Mandelbrot set.
local size, limit, total = 350, 200, 0
for py = 0, size - 1 do
  for px = 0, size - 1 do
    local cr = px * 3.0 / size - 2.0
    local ci = py * 2.4 / size - 1.2
    local x, y, n = 0.0, 0.0, 0
    while n < limit and x * x + y * y <= 4.0 do
      local t = x * x - y * y + cr
      y = 2.0 * x * y + ci
      x = t
      n = n + 1
    end
    total = total + n
  end
end
print(total)
