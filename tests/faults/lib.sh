# Shared by the fault tests (sourced).

# A harness script: a new profile FAULTY plays the hint's move on level 1
# and saves the game; $1 is the save's expected outcome (1 saved, 0 refused).
play_and_save_script() {
    cat <<SCRIPT
profile create FAULTY
expect lastProfileOk == 1
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
frames 30
savegame
expect lastSaveOk == $1
close
SCRIPT
}
