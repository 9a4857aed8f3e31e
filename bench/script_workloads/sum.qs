{ A counting loop with integer addition (the sum leaves 32 bits, where integers wrap). }
x := 0;
for i := 1 to 20000000 do x := x + i;
Print(x)
