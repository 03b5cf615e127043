#!/bin/sh
# The game as two processes on one user folder: the first plays a move and
# the player closes the window (the real shutdown saves); the second loads
# the saved game: the board, hand, score, clock and work left in its dump
# are those of the first run's last dump.
# usage: profile_two_runs.sh HARNESS
set -eu
harness=$1
data=$(dirname "$harness")/Data
out=e2e-out/profile_two_runs
mkdir -p "$out"
work=$(mktemp -d "${TMPDIR:-/tmp}/corsavel-two-runs.XXXXXX")
trap 'rm -rf "$work"' EXIT
home=$work/user

cat > "$work/first.script" <<SCRIPT
profile create PLAYER
notips
level 0 0
frames 2
until settled == 1 max 600
frames 2
until cascadeActive == 0 max 3000
movehint
frames 1
click
frames 2
expect moveMade == 1
until cascadeActive == 0 max 3000
frames 10
dump $PWD/$out/before.json
close
SCRIPT
"$harness" --data "$data" --home "$home" "$work/first.script"
[ -s "$home/settings/PLAYER_cls.sav" ] || { echo "no saved game after the close"; exit 1; }

field() {
    sed -n "s/^  \"$1\": \(.*\),\$/\1/p" "$2"
}
board() {
    sed -n '/^  "board": \[/,/^  \]/p' "$1"
}
before=$out/before.json
cat > "$work/second.script" <<SCRIPT
profile select 0
expect profileName == PLAYER
expect savedGame0 == 1
loadgame 0
expect lastLoadOk == 1
expect screen == game
expect scoreShown == $(field scoreShown "$before")
expect bankedScore == $(field bankedScore "$before")
expect elapsedMs == $(field elapsedMs "$before")
expect workLeft == $(field workLeft "$before")
expect handSlot == $(field handSlot "$before")
dump $PWD/$out/after.json
SCRIPT
"$harness" --data "$data" --home "$home" "$work/second.script"
board "$before" > "$work/board_before"
board "$out/after.json" > "$work/board_after"
[ -s "$work/board_before" ] || { echo "no board in the dump"; exit 1; }
cmp -s "$work/board_before" "$work/board_after" || { echo "the loaded board differs"; exit 1; }
echo ok
