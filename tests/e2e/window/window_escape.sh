# The window is named "Quarn MD2 demo", its client area is 640x480 and black; Escape ends the
# program with status 0.
source "$E2E_LIB"
quarn_start --windowed --no-dialogs
read -r w h _ _ < <(client_geometry)
[ "$w" = 640 ] && [ "$h" = 480 ] || fail "client area is ${w}x${h}"
screenshot "$E2E_TMP/start.png"
[ "$(max_channel "$E2E_TMP/start.png")" = 0 ] || fail "client area is not black"
xdotool key Escape
status=$(quarn_wait_exit 2)
[ "$status" = 0 ] || fail "exit status $status"
echo "ok"
