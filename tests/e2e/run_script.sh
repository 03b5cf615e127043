#!/bin/sh
# Runs one harness script with a fresh user folder; dumps go to e2e-out/.
# usage: run_script.sh HARNESS SCRIPT [harness options]
set -e
harness=$1
script=$2
shift 2
home=$(mktemp -d "${TMPDIR:-/tmp}/corsavel-e2e.XXXXXX")
trap 'rm -rf "$home"' EXIT
mkdir -p e2e-out
"$harness" --home "$home" "$@" "$script"
