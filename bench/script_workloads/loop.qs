{ Workload 1: a counting loop with integer addition. }
x := 0;
for i := 1 to 10000000 do x := x + i;
Print(x)
