#!/bin/sh
# The layers of src/ point down: platform, resources, audio, gfx, game, ui,
# app. A folder includes only its own headers and those of the folders
# before it, so src/game never reaches into src/ui or src/app. SDL and
# OpenGL headers stay inside src/platform (and its tests).
# usage: check_layers.sh SOURCE_DIR
set -u
root=${1:-.}
cd "$root" || exit 2
layers="platform resources audio gfx game ui app"
rank() {
    i=0
    for l in $layers; do
        [ "$l" = "$1" ] && { echo $i; return; }
        i=$((i + 1))
    done
    echo 99
}
status=0
for folder in $layers; do
    own=$(rank "$folder")
    for file in $(find "src/$folder" -name '*.cpp' -o -name '*.h' 2>/dev/null); do
        for used in $(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z]*\)\/.*/\1/p' "$file" | sort -u); do
            other=$(rank "$used")
            if [ "$other" -gt "$own" ] && [ "$other" -ne 99 ]; then
                echo "$file includes $used/: $folder may not reach up into $used"
                status=1
            fi
        done
    done
done
graphics='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](SDL[^>"]*|SDL2/[^>"]*|GL/[^>"]*|EGL/[^>"]*)[>"]'
for file in $(find src tools bench tests -name '*.cpp' -o -name '*.h' | grep -v -e '^src/platform/' -e '^tests/platform/'); do
    if grep -Eq "$graphics" "$file"; then
        echo "$file includes an SDL or OpenGL header outside src/platform"
        status=1
    fi
done
if [ "$status" -eq 0 ]; then
    echo "layers hold"
fi
exit $status
