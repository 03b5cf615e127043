#!/bin/sh
# A Data folder with one file missing or damaged. A required file that is
# missing, or a texture or mesh that cannot be read, ends the game with its
# loading error on stderr and exit code 1, never a crash; a damaged level,
# effect, scene list or menu file leaves the game playable.
# usage: data_faults.sh HARNESS
set -u
harness=$1
# The real folder: the Data beside the harness may be a link to another
# build's, and the copies below must hold its files, not the link.
data=$(cd "$(dirname "$harness")/Data" && pwd -P)
work=$(mktemp -d "${TMPDIR:-/tmp}/corsavel-datafaults.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "data_faults: $*"; exit 1; }

# The one-time load; a level started and played a little.
cat > "$work/load.script" <<SCRIPT
profile create FAULTY
expect lastProfileOk == 1
close
SCRIPT
cat > "$work/play.script" <<SCRIPT
profile create FAULTY
expect lastProfileOk == 1
notips
level 0 0
frames 60
expect screen == game
close
SCRIPT

fresh() {  # a copy of the Data folder (hard links: damage replaces a file)
    rm -rf "$work/Data" "$work/home"
    cp -al "$data" "$work/Data" 2>/dev/null || cp -r "$data" "$work/Data"
}
run() {  # run [load|play]
    "$harness" --data "$work/Data" --home "$work/home" "$work/${1:-play}.script" > "$work/out" 2> "$work/err"
}
# damage FILE: the same length of bytes that are no format at all.
damage() {
    size=$(stat -c %s "$work/Data/$1")
    rm -f "$work/Data/$1"
    head -c "$size" /dev/zero | tr '\000' '\141' > "$work/Data/$1"
}
# damage_entry ARCHIVE NAME: the archive entry's bytes zeroed (they then
# descramble to the name repeated: no image at all). An entry is its name, a
# NUL, a 32-bit little-endian length and the bytes.
damage_entry() {
    archive=$work/Data/$1
    cp "$archive" "$archive.new" && mv "$archive.new" "$archive"
    total=$(stat -c %s "$archive")
    n=${#2}
    for off in $(LC_ALL=C grep -obUaF "$2" "$archive" | cut -d: -f1); do
        [ "$(od -An -tu1 -j $((off + n)) -N1 "$archive" | tr -d ' ')" = 0 ] || continue
        length=$(od -An -tu4 -j $((off + n + 1)) -N4 "$archive" | tr -d ' ')
        [ $((off + n + 5 + length)) -le "$total" ] || continue
        dd if=/dev/zero of="$archive" bs=65536 seek=$((off + n + 5)) count="$length" \
            oflag=seek_bytes iflag=count_bytes conv=notrunc 2>/dev/null
        return 0
    done
    fail "no entry $2 in $1"
}
# expect_loading_error CASE TEXT: exit 1 and the message naming the file.
expect_loading_error() {
    rc=$1
    [ "$rc" -eq 1 ] || fail "$2: exit code $rc (expected 1): $(tail -5 "$work/err")"
    grep -q "$3" "$work/err" || fail "$2: no '$3' on stderr: $(tail -5 "$work/err")"
}
expect_playable() {
    [ "$1" -eq 0 ] || fail "$2: exit code $1: $(tail -5 "$work/out" "$work/err")"
}

# The run itself, with the whole Data folder.
fresh
run; expect_playable $? "the whole Data folder"

# Missing required files: the loader's message, then exit code 1.
for f in gameobjs.txt font.dat levels/pack1_05.lvl models/beret.msh_s; do
    fresh
    rm -f "$work/Data/$f"
    run load
    expect_loading_error $? "without $f" "Loading Error: Can't load .*$(basename "$f")\.\.\."
    grep -q "Program will now stop." "$work/err" || fail "without $f: the message's last line"
done
# All three archives missing: the game goes on to loose files, and the
# first texture that is nowhere stops it with the texture's message.
fresh
rm -f "$work/Data/targa.dat" "$work/Data/jpeg.dat" "$work/Data/texts.dat"
run load
rc=$?
[ "$rc" -eq 1 ] || fail "without the archives: exit code $rc: $(tail -5 "$work/err")"
grep -Eq "Loading [Ee]rror" "$work/err" || fail "without the archives: $(tail -5 "$work/err")"

# Damaged files.
fresh
damage_entry targa.dat font.tga
run load
expect_loading_error $? "a damaged font.tga" "Couldn't load texture: font.tga"
fresh
damage models/beret.msh_s
run load
expect_loading_error $? "a damaged mesh" "Can't load .*beret.msh_s"
fresh
damage levels/pack1_01.lvl
run
# A level pack without "level=" starts as a board of plain tiles filled
# with random figures.
expect_playable $? "a damaged level"
for f in effects/bomb1_0.par menu.txt menutext.txt gameobjs.txt; do
    fresh
    damage "$f"
    run
    expect_playable $? "a damaged $f"
done
echo ok
