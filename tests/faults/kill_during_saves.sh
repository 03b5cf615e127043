#!/bin/sh
# The game killed (SIGKILL) at random moments, 50 times: every start after a
# kill finds the player's tables whole, old or new, and never older than the
# start before it found.
#  - 45 kills of a process that saves the tables as the game does, without
#    end (the saved game, then profiles, records, hiscores, settings record);
#  - 5 kills of the harness playing a level and saving it after every move;
#    its next start loads the saved game.
# The moments come from a fixed seed (FAULTS_SEED).
# usage: kill_during_saves.sh TABLE_WRITER HARNESS
set -u
writer=$1
harness=$2
data=$(dirname "$harness")/Data
seed=${FAULTS_SEED:-18}
work=$(mktemp -d "${TMPDIR:-/tmp}/corsavel-kills.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "kill_during_saves: $*"; exit 1; }
. "$(dirname "$0")/lib.sh"

# Delays in milliseconds from the seed: N numbers in [LOW, HIGH).
delays() {
    awk -v n="$1" -v lo="$2" -v hi="$3" -v s="$4" \
        'BEGIN { srand(s); for (i = 0; i < n; i++) printf "%d\n", lo + int(rand() * (hi - lo)) }'
}

# Sleeps $3 ms once the file $1 is not empty (the process is under way),
# then kills process $2.
kill_after_ready() {
    i=0
    while [ ! -s "$1" ] && [ $i -lt 3000 ]; do sleep 0.01; i=$((i + 1)); done
    sleep "$(awk -v ms="$3" 'BEGIN { printf "%.3f", ms / 1000 }')"
    kill -KILL "$2" 2>/dev/null
    wait "$2" 2>/dev/null
}
# A killed process's exit code says nothing: its output is searched for a
# sanitizer's report instead (the sanitizer build).
reported() {
    grep -Eq "ERROR: (Address|Leak)Sanitizer|runtime error: |Sanitizer:DEADLYSIGNAL" "$1"
}


home=$work/tables
last=-1
kills=0
for ms in $(delays 45 0 120 "$seed"); do
    "$writer" write "$home" > "$work/out" 2>&1 &
    kill_after_ready "$work/out" $! "$ms"
    kills=$((kills + 1))
    reported "$work/out" && fail "the writer before kill $kills: $(cat "$work/out")"
    "$writer" check "$home" > "$work/check" 2>&1 || fail "after kill $kills: $(cat "$work/check")"
    gen=$(sed -n 's/^whole: generation \([0-9]*\),.*/\1/p' "$work/check")
    [ -n "$gen" ] || fail "after kill $kills: $(cat "$work/check")"
    [ "$gen" -ge "$last" ] || fail "after kill $kills: generation $gen, before it $last"
    last=$gen
done
# The check's own start removed what the kills left half-written.
left=$(find "$home" -name '*.tmp*' | wc -l)
[ "$left" -eq 0 ] || fail "temporary files left: $(find "$home" -name '*.tmp*')"
[ "$last" -ge 20 ] || fail "only $last rounds saved in $kills kills: the kills came too early"
echo "table writer: $kills kills, generation $last, tables whole after each ($(date +%s) s)"

# The harness: a first run makes the profile and its saved game.
play=$work/play
play_and_save_script 1 > "$work/first.script"
"$harness" --data "$data" --home "$play" "$work/first.script" > "$work/first.out" 2>&1 ||
    fail "the first run: $(cat "$work/first.out")"
# Every later run loads the saved game (the kill left it whole) and plays on,
# saving after every move until it is killed.
{
    cat <<SCRIPT
profile create FAULTY
expect lastProfileOk == 0
expect profileName == FAULTY
expect savedGame0 == 1
notips
loadgame 0
expect lastLoadOk == 1
expect screen == game
SCRIPT
    i=0
    while [ $i -lt 40 ]; do
        # The dump marks the game under way, after its first save.
        [ $i -eq 1 ] && echo "dump $work/ready.json"
        cat <<SCRIPT
until cascadeActive == 0 max 3000
movehint
frames 1
click
frames 2
until cascadeActive == 0 max 3000
savegame
SCRIPT
        i=$((i + 1))
    done
} > "$work/play.script"
for ms in $(delays 5 0 1500 "$((seed + 1))"); do
    rm -f "$work/ready.json"
    "$harness" --data "$data" --home "$play" "$work/play.script" > "$work/out" 2>&1 &
    kill_after_ready "$work/ready.json" $! "$ms"
    kills=$((kills + 1))
    { grep -q "failed" "$work/out" || reported "$work/out"; } && fail "after kill $kills: $(cat "$work/out")"
done
# The start after the last kill.
head -8 "$work/play.script" > "$work/last.script"
"$harness" --data "$data" --home "$play" "$work/last.script" > "$work/out" 2>&1 ||
    fail "after kill $kills: $(cat "$work/out")"
echo "ok: $kills kills"
