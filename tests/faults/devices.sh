#!/bin/sh
# No sound device: the game plays, silent. No usable OpenGL (an X server
# without GLX, or no GL driver to load): the game's "Initialization failed"
# message and its exit code 0, never a crash or a silent end.
# usage: devices.sh HARNESS GAME
set -u
harness=$1
game=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
data=$(dirname "$harness")/Data
work=$(mktemp -d "${TMPDIR:-/tmp}/corsavel-devices.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "devices: $*"; exit 1; }
. "$(dirname "$0")/lib.sh"
export CORSAVEL_NO_MESSAGE_BOX=1

play_and_save_script 1 > "$work/play.script"
# OpenAL's silent driver, and a driver list with no driver at all.
for drivers in null no-such-driver; do
    rm -rf "$work/home"
    ALSOFT_DRIVERS=$drivers "$harness" --data "$data" --home "$work/home" "$work/play.script" \
        > "$work/out" 2>&1 || fail "sound drivers '$drivers': $(tail -5 "$work/out")"
done

if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "ok (xvfb-run not found: the game's own runs were skipped)"
    exit 0
fi
# run_game NAME XVFB_ARGS ENV...: the real game under a virtual X server.
run_game() {
    name=$1
    server=$2
    shift 2
    cat > "$work/run.sh" <<INNER
unset SDL_VIDEODRIVER
cd "$work"
timeout 60 env $* "$game" --home "$work/home" --screenshot "$work/$name.png"
echo "rc=\$?"
INNER
    xvfb-run -a -s "-screen 0 1024x768x24 $server" sh "$work/run.sh" > "$work/$name.out" 2>&1
}
run_game nosound "" ALSOFT_DRIVERS=no-such-driver
grep -q "^rc=0$" "$work/nosound.out" || fail "no sound device: $(cat "$work/nosound.out")"
[ -s "$work/nosound.png" ] || fail "no sound device: no first frame"

for case in noglx nodriver; do
    if [ $case = noglx ]; then
        run_game $case "-extension GLX"
    else
        run_game $case "" LIBGL_DRIVERS_PATH=/nonexistent MESA_LOADER_DRIVER_OVERRIDE=no-such-driver
    fi
    out=$work/$case.out
    grep -q "^rc=0$" "$out" || fail "$case: $(cat "$out")"
    grep -q "^Initialization failed: Can't init Direct3D$" "$out" || fail "$case: no message: $(cat "$out")"
    [ ! -e "$work/$case.png" ] || fail "$case: a frame was drawn"
done
echo ok
