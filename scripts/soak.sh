#!/usr/bin/env bash
# The soak: the harness's bot plays adventure mode from level 1 for an hour
# of game time through the real frame loop, from the main page of a fresh
# user folder (a new player) through the map, wins, losses, stage ends and
# game overs, while the process's resident memory is written to a CSV file
# every minute of game time. Passes when the last sample is within 5% of
# the one at 10 minutes.
#
# usage: scripts/soak.sh [--build DIR] [--data DIR] [--minutes N] [--step MS]
#                        [--plan WL...] [--out DIR] [--offscreen]
#   --build DIR   the build with corsavel-harness (default build)
#   --data DIR    the Data folder (default DIR/Data of the build)
#   --minutes N   game time to play (default 60)
#   --step MS     the fixed frame step (default 16)
#   --plan P      W (play to win) and L (let the clock run out), one letter a
#                 level, repeated (default WWLLWWLL)
#   --out DIR     where soak.csv and soak.log go (default the build folder)
#   --offscreen   SDL's offscreen driver instead of a window on the X server
# Without a DISPLAY the run goes under xvfb-run. ASAN_OPTIONS and the like
# pass through, so a sanitizer build is soaked the same way.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
data=
minutes=60
step=16
plan=WWLLWWLL
out=
window=--window
while [ $# -gt 0 ]; do
    case $1 in
        --build) build=$2; shift 2 ;;
        --data) data=$2; shift 2 ;;
        --minutes) minutes=$2; shift 2 ;;
        --step) step=$2; shift 2 ;;
        --plan) plan=$2; shift 2 ;;
        --out) out=$2; shift 2 ;;
        --offscreen) window=; shift ;;
        *) sed -n '2,/^set -e/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
    esac
done
build=$(cd "$build" && pwd)
harness=$build/corsavel-harness
data=${data:-$build/Data}
out=${out:-$build}
mkdir -p "$out"
out=$(cd "$out" && pwd)
if [ ! -x "$harness" ]; then
    echo "soak: no $harness (build the corsavel-harness target)" >&2
    exit 2
fi
csv=$out/soak.csv
log=$out/soak.log
home=$(mktemp -d "${TMPDIR:-/tmp}/corsavel-soak.XXXXXX")
trap 'rm -rf "$home"' EXIT
printf 'playsession %s %s %s\n' "$minutes" "$plan" "$csv" > "$home/soak.script"

export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
export MESA_GL_VERSION_OVERRIDE=${MESA_GL_VERSION_OVERRIDE:-2.1}
run=("$harness" --data "$data" --home "$home/user" --step "$step" $window "$home/soak.script")
if [ -n "$window" ]; then
    export SDL_VIDEODRIVER=x11
    if [ -z "${DISPLAY:-}" ]; then
        run=(xvfb-run -a -s "-screen 0 1024x768x24" "${run[@]}")
    fi
fi
echo "soak: $minutes min of game time, step $step ms, plan $plan; log $log"
status=0
"${run[@]}" > "$log" 2>&1 || status=$?
cat "$log"
if [ "$status" -ne 0 ]; then
    echo "soak: the harness failed (exit $status)" >&2
    exit 1
fi

# The curve, and the last sample against the one at 10 minutes.
awk -F, -v ref=10 '
    NR == 1 { next }
    { printf "  minute %3d  game %7.1f s  wall %7.1f s  resident %7.1f MB\n", $1, $2, $3, $4
      last = $4; lastMinute = $1; if ($1 == ref) at = $4 }
    END {
        if (at == "") {
            printf "soak: no sample at minute %d; memory not compared\n", ref
            exit 0
        }
        change = (last - at) / at * 100
        printf "soak: resident %.1f MB at minute %d, %.1f MB at minute %d (%+.1f%%)\n",
               at, ref, last, lastMinute, change
        if (change > 5 || change < -5) {
            print "soak: FAIL: the resident memory moved more than 5%"
            exit 1
        }
        print "soak: PASS: within 5%"
    }' "$csv"
