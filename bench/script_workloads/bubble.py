# A 1-D integer array sorted in place: bubble sort whose passes end once one swaps nothing.
n = 4000
a = [0] * n
seed = 7
for i in range(n):
    seed = (seed * 75 + 74) % 65537
    a[i] = seed
sorted_, last = False, n - 1
while not sorted_:
    sorted_ = True
    for i in range(last):
        if a[i] > a[i + 1]:
            t = a[i]
            a[i] = a[i + 1]
            a[i + 1] = t
            sorted_ = False
    last = last - 1
check = 0
for i in range(n):
    check = (check * 31 + a[i]) % 1000003
print(a[0], a[n - 1], check)
