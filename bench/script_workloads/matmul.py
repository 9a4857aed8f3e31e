# Float 2-D arrays: the product of two 200 x 200 matrices in three nested loops.
n = 200
a = [[0.0] * n for _ in range(n)]
b = [[0.0] * n for _ in range(n)]
c = [[0.0] * n for _ in range(n)]
for i in range(n):
    for j in range(n):
        a[i][j] = (i - j) / n
        b[i][j] = (i + j) * 0.5 / n
for i in range(n):
    for j in range(n):
        total = 0.0
        for k in range(n):
            total = total + a[i][k] * b[k][j]
        c[i][j] = total
trace = 0.0
for i in range(n):
    trace = trace + c[i][i] + c[i][n - 1 - i]
print("%.6f" % trace)
