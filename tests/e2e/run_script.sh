#!/bin/sh
# Runs one harness script with a fresh user folder; dumps go to e2e-out/.
# The forged Data folder beside the harness is used when it holds the text
# tables; otherwise a scratch Data folder with two one-line tables stands in,
# so the frame-loop scripts run before the data is complete.
# usage: run_script.sh HARNESS SCRIPT [harness options]
set -e
harness=$1
script=$2
shift 2
home=$(mktemp -d "${TMPDIR:-/tmp}/corsavel-e2e.XXXXXX")
trap 'rm -rf "$home"' EXIT
mkdir -p e2e-out
data=$(dirname "$harness")/Data
if [ ! -e "$data/texts.dat" ] && [ ! -e "$data/strings.txt" ]; then
    data=$home/Data
    mkdir -p "$data"
    printf 'caption=Corsavel\r\n' > "$data/strings.txt"
    printf 'tip1=Match three.\r\n' > "$data/tips.txt"
fi
"$harness" --data "$data" --home "$home/user" "$@" "$script"
