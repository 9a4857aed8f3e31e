# Filling and summing a 1000000-element list.
a = [0] * 1000000
for i in range(1000000):
    a[i] = i % 1000
total = 0
for i in range(1000000):
    total = total + a[i]
print(total)
