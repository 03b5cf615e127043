#!/bin/sh
# The user folder read-only, full, or missing and impossible to make: the
# game still starts and plays, its saves fail quietly, and every file that
# was there stays byte for byte as it was (the saved game still loads).
# usage: user_folder.sh HARNESS GAME
set -u
harness=$1
game=$2
data=$(dirname "$harness")/Data
work=$(mktemp -d "${TMPDIR:-/tmp}/corsavel-userfolder.XXXXXX")
chmod 755 "$work"
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "user_folder: $*"; exit 1; }
. "$(dirname "$0")/lib.sh"
home=$work/home

# A first run: the profile FAULTY and a saved game of its first level.
play_and_save_script 1 > "$work/first.script"
"$harness" --data "$data" --home "$home" "$work/first.script" > "$work/out" 2>&1 ||
    fail "the first run: $(cat "$work/out")"
cp -a "$home" "$work/before"

# A later session: loads the saved game, plays a move, tries to save it
# ($1 is the expected outcome) and closes (the save-all).
session() {
    cat <<SCRIPT
profile create FAULTY
expect lastProfileOk == 0
expect profileName == FAULTY
expect savedGame0 == 1
notips
loadgame 0
expect lastLoadOk == 1
expect screen == game
until cascadeActive == 0 max 3000
movehint
frames 1
click
frames 2
until cascadeActive == 0 max 3000
savegame
expect lastSaveOk == $1
close
SCRIPT
}
session 0 > "$work/failing.script"
unchanged() {  # unchanged CASE: the user folder is as the first run left it
    diff -r "$work/before" "$home" > "$work/diff" 2>&1 || fail "$1: the user folder changed: $(cat "$work/diff")"
}

# Full: no file may grow (a file-size limit of 0, its signal ignored, stands
# in for a full disk: every write fails as with ENOSPC).
sh -c 'trap "" XFSZ; ulimit -f 0; exec "$@"' sh \
    "$harness" --data "$data" --home "$home" "$work/failing.script" > "$work/out" 2>&1 ||
    fail "a full disk: $(cat "$work/out")"
unchanged "a full disk"

# Nearly full: the small tables fit, the saved game (29 KB) and the records
# (9.6 KB) do not. The files that could not be written stay as they were.
sh -c 'trap "" XFSZ; ulimit -f 4; exec "$@"' sh \
    "$harness" --data "$data" --home "$home" "$work/failing.script" > "$work/out" 2>&1 ||
    fail "a nearly full disk: $(cat "$work/out")"
for f in settings/FAULTY_cls.sav settings/records.dat; do
    cmp -s "$work/before/$f" "$home/$f" || fail "a nearly full disk: $f changed"
done
[ -z "$(find "$home" -name '*.tmp*')" ] || fail "a nearly full disk: temporaries left"
size() { stat -c %s "$home/$1"; }
[ "$(size settings.reg)" -eq 44 ] && [ "$(size settings/hiscore.dat)" -eq 720 ] &&
    [ $(($(size settings/profiles.dat) % 104)) -eq 0 ] || fail "a nearly full disk: a table is torn"
# The next normal start finds the profile. (Loading the saved game used it
# up, as starting any level does; the new one could not be written.)
cat > "$work/next.script" <<SCRIPT
profile create FAULTY
expect lastProfileOk == 0
expect profileName == FAULTY
expect savedGame0 == 0
SCRIPT
"$harness" --data "$data" --home "$home" "$work/next.script" > "$work/out" 2>&1 ||
    fail "after a nearly full disk: $(cat "$work/out")"
rm -rf "$home"
cp -a "$work/before" "$home"

# Read-only: as root (who writes anywhere) the session runs as nobody; the
# folder belongs to root. Otherwise the folder is made read-only.
as_player() { "$@"; }
readonly_ok=1
if [ "$(id -u)" -eq 0 ]; then
    if setpriv --reuid=65534 --regid=65534 --clear-groups true 2>/dev/null &&
        setpriv --reuid=65534 --regid=65534 --clear-groups \
            sh -c "test -x '$harness' && test -r '$data/texts.dat' && test -r '$work/failing.script'"; then
        as_player() {
            setpriv --reuid=65534 --regid=65534 --clear-groups \
                env HOME=/nonexistent MESA_SHADER_CACHE_DISABLE=true "$@"
        }
    else
        readonly_ok=0
        echo "(the read-only run was skipped: nobody cannot run the build from here)"
    fi
else
    chmod -R a-w "$home"
fi
if [ $readonly_ok -eq 1 ]; then
    as_player "$harness" --data "$data" --home "$home" "$work/failing.script" > "$work/out" 2>&1 ||
        fail "a read-only user folder: $(cat "$work/out")"
    unchanged "a read-only user folder"
    # The game itself starts in a read-only folder (the lock file is only
    # readable) and shows its first frame.
    if command -v xvfb-run >/dev/null 2>&1; then
        mkdir -m 777 "$work/shots"
        as_player xvfb-run -a -s "-screen 0 1024x768x24" env -u SDL_VIDEODRIVER \
            "$game" --home "$home" --screenshot "$work/shots/readonly.png" > "$work/out" 2>&1 ||
            fail "the game in a read-only user folder: $(cat "$work/out")"
        [ -s "$work/shots/readonly.png" ] || fail "the game did not start in a read-only user folder"
        unchanged "the game in a read-only user folder"
    fi
fi
chmod -R u+w "$home" 2>/dev/null

# Missing and impossible to make (a plain file where its parent should be):
# the game plays without a user folder and writes nothing.
touch "$work/plain"
play_and_save_script 0 > "$work/nofolder.script"
"$harness" --data "$data" --home "$work/plain/home" "$work/nofolder.script" > "$work/out" 2>&1 ||
    fail "no user folder: $(cat "$work/out")"
[ ! -s "$work/plain" ] || fail "no user folder: the plain file was written"
if command -v xvfb-run >/dev/null 2>&1; then
    xvfb-run -a -s "-screen 0 1024x768x24" env -u SDL_VIDEODRIVER \
        "$game" --home "$work/plain/home" --screenshot "$work/nofolder.png" > "$work/out" 2>&1 ||
        fail "the game without a user folder: $(cat "$work/out")"
    [ -s "$work/nofolder.png" ] || fail "the game did not start without a user folder"
fi
echo ok
