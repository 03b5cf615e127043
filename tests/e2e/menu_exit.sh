#!/bin/sh
# "exit" asks; "no" returns to "main"; "yes" ends the game with the tables
# saved: the rest of the script never runs and the profile made in this run
# is on disk for the next.
# usage: menu_exit.sh HARNESS
set -eu
harness=$1
data=$(dirname "$harness")/Data
mkdir -p e2e-out
work=$(mktemp -d "${TMPDIR:-/tmp}/corsavel-exit.XXXXXX")
trap 'rm -rf "$work"' EXIT
home=$work/user

cat > "$work/first.script" <<SCRIPT
until loadAllCount == 1 max 700
frames 2
click
until menuPage == newprofile max 120
until menuSlide == rest max 40
type CLARA
key ENTER
until menuPage == main max 40
until menuSlide == rest max 40
# "exit" is the last item: Up from the first wraps to it.
key UP
frames 1
expect menuSelected == 6
key ENTER
until menuPage == messageboxyn max 40
until menuSlide == rest max 40
screenshot $PWD/e2e-out/menu_exit_question.png
clickitem 1
until menuPage == main max 40
expect quitRequested == 0
until menuSlide == rest max 40
clickitem 6
until menuPage == messageboxyn max 40
until menuSlide == rest max 40
clickitem 0
frames 40
# Never reached: the game has quit and the harness skips the rest.
expect quitRequested == 999
SCRIPT
"$harness" --data "$data" --home "$home" "$work/first.script" 2> "$work/err" ||
    { cat "$work/err"; echo "the first run failed"; exit 1; }
grep -q "the game has quit" "$work/err" || { cat "$work/err"; echo "the game did not quit"; exit 1; }
[ -s "$home/settings/profiles.dat" ] || { echo "no profiles.dat after the quit"; exit 1; }
grep -q CLARA "$home/settings/profiles.dat" || { echo "the new profile was not saved"; exit 1; }

cat > "$work/second.script" <<SCRIPT
until loadAllCount == 1 max 700
expect profileCount == 1
expect profileName == CLARA
frames 2
click
until screen == menu max 120
expect menuPage == main
SCRIPT
"$harness" --data "$data" --home "$home" "$work/second.script"
echo "exit: ok"
