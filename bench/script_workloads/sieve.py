# Boolean flags: a sieve over a boolean list, repeated, and the twin primes counted.
limit = 200000
composite = [False] * (limit + 1)
twins = 0
for round in range(20):
    for i in range(limit + 1):
        composite[i] = False
    composite[0] = True
    composite[1] = True
    i = 2
    while i * i <= limit:
        if not composite[i]:
            j = i * i
            while j <= limit:
                composite[j] = True
                j = j + i
        i = i + 1
    for k in range(3, limit - 1):
        if not (composite[k] or composite[k + 2]):
            twins = twins + 1
print(twins)
