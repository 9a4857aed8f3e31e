# A counting loop with integer addition.
x = 0
for i in range(1, 20000001):
    x = x + i
print(x)
