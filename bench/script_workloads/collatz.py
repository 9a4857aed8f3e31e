# Integer div and mod with branches in a while loop: Collatz chain lengths below 100000.
steps, longest, digits = 0, 0, 0
for start in range(1, 100000):
    n, length = start, 0
    while n != 1:
        if n % 2 == 0:
            n = n // 2
        else:
            n = 3 * n + 1
        length = length + 1
    m = length
    while m > 0:
        digits = digits + m % 10
        m = m // 10
    steps = steps + length
    if length > longest:
        longest = length
print(steps, longest, digits)
