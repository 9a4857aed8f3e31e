-- 2-D boolean and integer tables: generations of a game of life on a 64 x 64 torus.
local n = 64
local alive, count = {}, {}
for x = 0, n - 1 do alive[x], count[x] = {}, {} end
local seed = 11
for y = 0, n - 1 do
  for x = 0, n - 1 do
    seed = (seed * 75 + 74) % 65537
    alive[x][y] = seed % 3 == 0
  end
end
for gen = 1, 400 do
  for y = 0, n - 1 do
    for x = 0, n - 1 do count[x][y] = 0 end
  end
  for y = 0, n - 1 do
    for x = 0, n - 1 do
      if alive[x][y] then
        for dy = n - 1, n + 1 do
          for dx = n - 1, n + 1 do
            if dx ~= n or dy ~= n then
              local cx, cy = (x + dx) % n, (y + dy) % n
              count[cx][cy] = count[cx][cy] + 1
            end
          end
        end
      end
    end
  end
  for y = 0, n - 1 do
    for x = 0, n - 1 do
      alive[x][y] = count[x][y] == 3 or (alive[x][y] and count[x][y] == 2)
    end
  end
end
local population = 0
for y = 0, n - 1 do
  for x = 0, n - 1 do
    if alive[x][y] then population = population + x + y * n end
  end
end
print(population)
