# Loops with nothing in their body still let the program end: Escape quits (status 0), SIGTERM
# and SIGINT end it with 143 and 130, whether the loop was typed at the console, run by a bot
# file or by autoexec.txt. Each place meets each loop once and each way of ending once.
source "$E2E_LIB"
dir="$E2E_TMP/program"
mkdir -p "$dir"
cp "$QUARN_BIN/quarn" "$QUARN_BIN/Font.tga" "$dir/"

# The for loops nest so that no machine finishes them: only a stop ends them.
loops=(
  "while true do;"
  "repeat until false"
  "n:=2147483647;for i:=-n to n do for j:=-n to n do;"
)
endings=(escape term int)

# end_program HOW: ends the running program and checks its exit status.
end_program() {
  kill -0 "$QUARN_PID" 2>/dev/null || fail "the program ended by itself: $(cat "$E2E_TMP/stderr")"
  case $1 in
    escape) xdotool key Escape; quarn_expect_exit 10 0 ;;
    term) kill -TERM "$QUARN_PID"; quarn_expect_exit 10 143 ;;
    int) kill -INT "$QUARN_PID"; quarn_expect_exit 10 130 ;;
  esac
}

for i in 0 1 2; do
  loop=${loops[$i]}

  # typed at the console (at most 38 characters a line: the nested for is typed in two lines)
  how=${endings[$(( i % 3 ))]}
  QUARN_BIN="$dir" quarn_start --windowed --no-dialogs --no-autoexec
  if [ "$i" = 2 ]; then
    type_line "n:=2147483647"
    type_line "for i:=-n to n do for j:=-n to n do;"
  else
    type_line "$loop"
  fi
  sleep 0.5
  end_program "$how"

  # a bot file
  how=${endings[$(( (i + 1) % 3 ))]}
  printf "%s\r\n" "$loop" >"$E2E_TMP/loop.bot"
  QUARN_BIN="$dir" quarn_start --windowed --no-dialogs --no-autoexec --exec "LoadBot('$E2E_TMP/loop.bot')"
  sleep 0.5
  end_program "$how"

  # autoexec.txt
  how=${endings[$(( (i + 2) % 3 ))]}
  printf "%s\r\n" "$loop" >"$dir/autoexec.txt"
  QUARN_BIN="$dir" quarn_start --windowed --no-dialogs
  sleep 0.5
  end_program "$how"
  rm -f "$dir/autoexec.txt"
done
echo ok
