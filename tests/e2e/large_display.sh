#!/bin/sh
# Large displays: on a desktop at least twice 800x600 both ways the window
# opens at the largest whole multiple of 800x600 that fits and the scene
# fills it; on a smaller one it stays 800x600. The harness's real window
# under Xvfb screens of both kinds, with a screenshot of the scaled scene.
# usage: large_display.sh HARNESS
harness=$1
if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "xvfb-run not found: skipped"
    exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/corsavel-large.XXXXXX")
trap 'rm -rf "$work"' EXIT
data=$(dirname "$harness")/Data
window() {  # window SCREEN WIDTH HEIGHT
    cat > "$work/script" <<INNER
frames 3
expect drawableWidth == $2
expect drawableHeight == $3
screenshot $work/shot.png
# The title splash's chest fills the scene's middle whatever the scale.
expectregion -100 -200 100 0 stddev > 20
INNER
    cat > "$work/run.sh" <<INNER
unset SDL_VIDEODRIVER
"$harness" --window --data "$data" --home "$work/home" "$work/script"
INNER
    xvfb-run -a -s "-screen 0 ${1}x24" sh "$work/run.sh" || {
        echo "large_display: a ${1} screen did not give a $2x$3 window"
        exit 1
    }
}
window 1024x768 800 600
window 1700x1300 1600 1200
window 2500x1900 2400 1800
echo ok
