# A 1-D string list sorted in place by insertion; the empty text at index 0 stops every shift.
n = 4000
a = [""] * (n + 1)
alpha = "qwertyuiopasdfghjklzxcvbnm"
seed = 5
for i in range(1, n + 1):
    seed = (seed * 75 + 74) % 65537
    k = seed % 20
    a[i] = alpha[k:k + 4] + str(seed % 97)
for i in range(2, n + 1):
    key = a[i]
    j = i
    while a[j - 1] > key and j > 1:
        a[j] = a[j - 1]
        j = j - 1
    a[j] = key
check = 0
for i in range(1, n + 1):
    check = (check * 7 + len(a[i]) + a[i].find("a") + 1) % 1000003
print(a[1], a[n], check)
