# Float arithmetic in nested loops: escape counts of a 350 x 350 grid over the Mandelbrot set.
size, limit, total = 350, 200, 0
for py in range(size):
    for px in range(size):
        cr = px * 3.0 / size - 2.0
        ci = py * 2.4 / size - 1.2
        x, y, n = 0.0, 0.0, 0
        while n < limit and x * x + y * y <= 4.0:
            t = x * x - y * y + cr
            y = 2.0 * x * y + ci
            x = t
            n = n + 1
        total = total + n
print(total)
