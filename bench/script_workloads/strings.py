# Built-in string calls: str, %-format, slicing, find and len.
total = 0
for i in range(1, 200001):
    s = str(i)
    t = '%d-%s' % (i, s)
    u = t[1:4]
    total = total + (t.find('-') + 1) + len(u)
print(total)
