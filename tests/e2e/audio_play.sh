#!/bin/sh
# What a player hears, recorded through the harness's loopback capture into
# a WAV and checked twice: by the script's own measurements and by sox on
# the file. The level's music plays before any move and between moves; the
# pause (space) and the inactive window are silent; with the music volume
# at 0 the effects are still heard and the music is not; combos of longer
# chains play higher.
# usage: audio_play.sh HARNESS
set -e
harness=$1
here=$(dirname "$0")
mkdir -p e2e-out
script=e2e-out/audio_play.script
wav=e2e-out/audio_play.wav
cat > "$script" <<'SCRIPT'
notips
levelfile tests/e2e/levels/determinism_column.lvl 1 0
frames 60
expect musicTarget == 5
expect musicFade == 100
expect musicPlaying == 1
audio record e2e-out/audio_play.wav
# 0.00-0.96 s: the level's music alone.
audio window
frames 60
expect soundsStarted == 0
expect audioMusicRms > 0.01
# 0.99-1.95 s: the pause is silent.
key SPACE
frames 2
expect paused == 1
audio window
frames 60
expect audioPeak == 0
click
frames 2
expect paused == 0
# 2.02-2.98 s: the inactive window is silent.
deactivate
frames 2
audio window
frames 60
expect audioPeak == 0
activate
frames 2
# From 3.01 s: the bot plays the level; sounds and music between moves.
audio window
botplay 3000 500
expect levelWon == 1
expect soundsStarted > 20
expect audioRms > 0.02
expect audioMusicRms > 0.01
# A chain of one plays "combo.ogg" at 44100 Hz, a chain of three or more
# at 42600 + 1500 x step, higher.
expect comboPitchMin == 1
expect comboPitchMax >= 1.068
# Music volume 0: the celebration's effects are heard, the music is not.
audio volume music 0
keep soundsStarted
frames 2
audio window
frames 150
expect soundsStarted > $soundsStarted
expect audioRms > 0.005
expect audioMusicRms == 0
audio stop
SCRIPT
sh "$here/run_script.sh" "$harness" "$script"

# The file itself: sox's maximum amplitude and RMS of each stretch.
level() { sox "$wav" -n trim "$1" "$2" stat 2>&1 | awk -v k="$3" '$0 ~ k {print $NF}'; }
check() {
    if awk -v v="$2" -v op="$3" -v w="$4" 'BEGIN { exit !((op == ">") ? v > w : v == w) }'; then
        echo "ok: $1 ($2)"
    else
        echo "failed: $1: $2 is not $3 $4"
        exit 1
    fi
}
check "music before any move" "$(level 0.1 0.8 'RMS +amplitude')" ">" 0.01
check "pause is silent" "$(level 1.0 0.9 'Maximum amplitude')" "==" 0
check "inactive window is silent" "$(level 2.05 0.9 'Maximum amplitude')" "==" 0
check "the level is heard" "$(level 3.1 10 'RMS +amplitude')" ">" 0.02
