# The window is named "Quarn MD2 demo", its client area is 640x480 and the scene is cleared to
# black (below the console's ten rows and left of the FPS overlay); Escape ends the program
# with status 0.
source "$E2E_LIB"
quarn_start --windowed --no-dialogs
read -r w h _ _ < <(client_geometry)
[ "$w" = 640 ] && [ "$h" = 480 ] || fail "client area is ${w}x${h}"
screenshot "$E2E_TMP/start.png"
convert "$E2E_TMP/start.png" -crop 460x200+0+260 +repage "$E2E_TMP/scene.png"
[ "$(max_channel "$E2E_TMP/scene.png")" = 0 ] || fail "the scene is not black"
xdotool key Escape
quarn_expect_exit 2 0
echo "ok"
