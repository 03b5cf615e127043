#!/bin/sh
# The game process under a virtual X server: a second copy exits 0 at once,
# SIGTERM closes the window cleanly, and a first run leaves the 44-byte
# settings record with music 60 and effects 90.
# usage: game_process.sh GAME
game=$1
if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "xvfb-run not found: skipped"
    exit 77
fi
home=$(mktemp -d "${TMPDIR:-/tmp}/corsavel-game.XXXXXX")
trap 'rm -rf "$home"' EXIT

# With no display at all the game reports the device failure and ends with 0
# instead of running in an invisible offscreen window.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_DATA_HOME="$home/nodisplay" \
    timeout 20 "$game" 2>&1)
rc=$?
if [ $rc -ne 0 ] || ! printf '%s' "$out" | grep -q "Can't init Direct3D"; then
    echo "without a display: rc $rc, output: $out"
    exit 1
fi
cat > "$home/run.sh" <<INNER
set -u
export XDG_DATA_HOME="$home/xdg"
unset SDL_VIDEODRIVER
"$game" & first=\$!
# Wait until the first copy has made its lock file and taken the lock.
i=0
while [ ! -e "$home/xdg/corsavel/corsavel.lock" ] && [ \$i -lt 100 ]; do sleep 0.1; i=\$((i+1)); done
sleep 1
start=\$(date +%s)
timeout 10 "$game"; second=\$?
elapsed=\$((\$(date +%s) - start))
if [ \$second -ne 0 ] || [ \$elapsed -gt 3 ]; then echo "second copy: rc \$second after \$elapsed s"; kill -9 \$first; exit 1; fi
if ! kill -0 \$first 2>/dev/null; then echo "first copy ended early"; exit 1; fi
kill -TERM \$first
wait \$first; rc=\$?
if [ \$rc -ne 0 ]; then echo "first copy: rc \$rc"; exit 1; fi
exit 0
INNER
xvfb-run -a -s "-screen 0 1024x768x24" sh "$home/run.sh" || exit 1
record="$home/xdg/corsavel/settings.reg"
size=$(stat -c %s "$record" 2>/dev/null || echo 0)
if [ "$size" -ne 44 ]; then
    echo "settings record: $size bytes"
    exit 1
fi
# Music volume 60 (0x3c) and effects volume 90 (0x5a), little-endian.
head=$(od -An -tu4 -N8 "$record" | tr -s ' ')
if [ "$head" != " 60 90" ]; then
    echo "settings record starts with:$head"
    exit 1
fi
echo "ok"
