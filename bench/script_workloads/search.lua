-- String searching: a text built from words, searched over what is left after each match.
local words = "alpha beta gamma delta epsilon zeta eta theta iota kappa "
local text = ""
for i = 1, 400 do
  local k = (i * 13) % 50 + 1
  text = text .. words:sub(k, k + 8)
end
local found, letters = 0, 0
for round = 1, 2000 do
  local rest = text
  local p = string.find(rest, "ta", 1, true) or 0
  while p > 0 do
    found = found + 1
    if p >= 2 and rest:sub(p - 1, p - 1) == "e" then letters = letters + p % 5 end
    rest = rest:sub(p + 2)
    p = string.find(rest, "ta", 1, true) or 0
  end
end
print(#text .. " " .. found .. " " .. letters)
