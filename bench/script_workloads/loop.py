# Workload 1: a counting loop with integer addition.
x = 0
for i in range(1, 10000001):
    x = x + i
print(x)
