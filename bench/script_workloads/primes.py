# Workload 2: primes below 20000 by trial division, then a 2000-character string.
count = 0
for n in range(2, 20000):
    prime = True
    d = 2
    while d * d <= n:
        if n % d == 0:
            prime = False
            break
        d = d + 1
    if prime:
        count = count + 1
s = ''
for i in range(1, 2001):
    s = s + 'x'
print(count, len(s))
