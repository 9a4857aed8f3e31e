# 2-D boolean and integer lists: generations of a game of life on a 64 x 64 torus.
n = 64
alive = [[False] * n for _ in range(n)]
count = [[0] * n for _ in range(n)]
seed = 11
for y in range(n):
    for x in range(n):
        seed = (seed * 75 + 74) % 65537
        alive[x][y] = seed % 3 == 0
for gen in range(400):
    for y in range(n):
        for x in range(n):
            count[x][y] = 0
    for y in range(n):
        for x in range(n):
            if alive[x][y]:
                for dy in range(n - 1, n + 2):
                    for dx in range(n - 1, n + 2):
                        if dx != n or dy != n:
                            cx, cy = (x + dx) % n, (y + dy) % n
                            count[cx][cy] = count[cx][cy] + 1
    for y in range(n):
        for x in range(n):
            alive[x][y] = count[x][y] == 3 or (alive[x][y] and count[x][y] == 2)
population = 0
for y in range(n):
    for x in range(n):
        if alive[x][y]:
            population = population + x + y * n
print(population)
