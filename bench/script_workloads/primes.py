# Primes below 100000 by trial division.
count = 0
for n in range(2, 100000):
    prime = True
    d = 2
    while d * d <= n:
        if n % d == 0:
            prime = False
            break
        d = d + 1
    if prime:
        count = count + 1
print(count)
