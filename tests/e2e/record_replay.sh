#!/bin/sh
# Record and replay: the harness drives a session (keys, clicks, moves, the
# in-game page, uneven frame steps) while recording it; the recording,
# replayed in a fresh user folder with no --seed, ends in the same dump.
# The same recording with another seed must end elsewhere (the comparison
# can fail). Then the game itself records a short run under Xvfb, closed by
# SIGTERM, and the harness replays that recording to the same end.
# usage: record_replay.sh HARNESS GAME SESSION
set -u
harness=$1
game=$2
session=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/corsavel-replay.XXXXXX")
trap 'rm -rf "$work"' EXIT
data=$(dirname "$harness")/Data
fail() { echo "record_replay: $*"; exit 1; }

run() {  # run HOME SCRIPT [options]: the harness in a fresh user folder
    home=$1
    script=$2
    shift 2
    "$harness" --data "$data" --home "$work/$home" "$@" "$script"
}

sed "s#e2e-out/record_replay_recorded.json#$work/recorded.json#" "$session" > "$work/session"
run live "$work/session" --seed 4242 --record "$work/rec.script" || fail "the recorded session failed"
grep -q '^seed 4242$' "$work/rec.script" || fail "no seed line in the recording"
grep -q '^send leftdown$' "$work/rec.script" || fail "no clicks in the recording"
grep -q '^steps .*33 5 ' "$work/rec.script" || fail "the uneven steps are not in the recording"

{ cat "$work/rec.script"; echo "dump $work/replayed.json"; } > "$work/replay"
run again "$work/replay" || fail "the replay failed"
# The mixer's measured levels are left out: OpenAL Soft's float mixing may
# differ in the last digits between runs; what was played is compared through
# the sound counters and the music fields. So is the process's resident
# memory, which is no part of the game's state.
game_state() {
    grep -v -E '^  "(audio(Rms|MusicRms|Peak)|residentKb)":' "$1"
}
game_state "$work/recorded.json" > "$work/recorded.state"
game_state "$work/replayed.json" > "$work/replayed.state"
cmp -s "$work/recorded.state" "$work/replayed.state" || {
    diff "$work/recorded.state" "$work/replayed.state" | head -20
    fail "the replay ended elsewhere"
}
grep -q '"screen": "game"' "$work/replayed.json" || fail "the replay did not reach the game"
grep -q '"moveMade": 1' "$work/replayed.json" || fail "the replay made no move"

sed -e 's/^seed 4242$/seed 4243/' -e "s#$work/replayed.json#$work/other.json#" \
    "$work/replay" > "$work/other"
run otherhome "$work/other" || fail "the replay with another seed failed"
game_state "$work/other.json" > "$work/other.state"
if cmp -s "$work/recorded.state" "$work/other.state"; then
    fail "another seed gave the same end: the comparison proves nothing"
fi

# The game's own recording: its real clock's steps and the close.
if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "ok (xvfb-run not found: the game's own recording was skipped)"
    exit 0
fi
cat > "$work/game.sh" <<INNER
unset SDL_VIDEODRIVER
"$game" --data "$data" --home "$work/gamehome" --windowed --record "$work/game.script" &
pid=\$!
# Its window first (a slow start, as under the sanitizers, takes longer),
# then three seconds of frames.
if command -v xwininfo >/dev/null 2>&1; then
    i=0
    while [ \$i -lt 600 ] && ! xwininfo -root -tree | grep -q '"Corsavel"'; do sleep 0.1; i=\$((i+1)); done
fi
sleep 3
kill -TERM \$pid
wait \$pid
INNER
xvfb-run -a -s "-screen 0 1024x768x24" sh "$work/game.sh" || fail "the recording game failed"
grep -q '^seed [0-9]' "$work/game.script" || fail "the game wrote no seed"
tail -n 1 "$work/game.script" | grep -q '^send close$' || fail "the game's recording does not end with its close"
{ cat "$work/game.script"; echo "dump $work/game.json"; } > "$work/game.replay"
run gamereplay "$work/game.replay" 2>"$work/game.err" || fail "the replay failed: $(cat "$work/game.err")"
grep -q "the game has quit" "$work/game.err" || fail "the replay did not reach the recorded close"
frames=$(sed -n 's/^steps //p' "$work/game.script" | wc -w)
[ "$frames" -gt 20 ] || fail "the game recorded only $frames frames"
echo "ok ($frames frames of the game replayed)"
