# String building: appending and prepending pieces, trimming, keeping the greatest text.
alpha = "abcdefghijklmnopqrstuvwxyz"
s, best, total = "", "", 0
for i in range(1, 1000001):
    if i % 7 == 0:
        k = i % 26
        s = alpha[k:k + 2] + s
    else:
        k = (i * 7) % 26
        s = s + alpha[k:k + 1]
    if len(s) > 40:
        s = s[15:]
    if s > best:
        best = s
    total = total + len(s)
print(total, best)
