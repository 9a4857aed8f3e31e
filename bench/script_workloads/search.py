# String searching: a text built from words, searched over what is left after each match.
words = "alpha beta gamma delta epsilon zeta eta theta iota kappa "
text = ""
for i in range(1, 401):
    k = (i * 13) % 50
    text = text + words[k:k + 9]
found, letters = 0, 0
for round in range(2000):
    rest = text
    p = rest.find("ta") + 1
    while p > 0:
        found = found + 1
        if p >= 2 and rest[p - 2:p - 1] == "e":
            letters = letters + p % 5
        rest = rest[p + 1:]
        p = rest.find("ta") + 1
print(len(text), found, letters)
