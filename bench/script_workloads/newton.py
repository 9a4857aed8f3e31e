# A 1-D float list and repeat loops with a compound until: square roots by Newton's method.
n = 20000
v = [1.0 + i * 0.37 for i in range(n)]
r = [0.0] * n
total, turns = 0.0, 0
for round in range(40):
    for i in range(n):
        x = v[i]
        k = 0
        while True:
            nxt = (x + v[i] / x) / 2.0
            d = nxt - x
            if d < 0.0:
                d = -d
            x = nxt
            k = k + 1
            if d < 0.000000001 or k >= 60:
                break
        r[i] = x
        turns = turns + k
for i in range(n):
    total = total + r[i]
print("%.6f" % total, turns)
