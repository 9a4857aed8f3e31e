{ Filling and summing a 1000000-element array. }
SetArray(a, INTEGER, 1000000);
for i := 0 to 999999 do a[i] := i mod 1000;
total := 0;
for i := 0 to 999999 do total := total + a[i];
Print(total)
