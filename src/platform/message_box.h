#pragma once

namespace corsavel {

// Shows a modal error box with one OK button (when a display exists) and
// writes the same text to stderr, as "caption: text".
void showMessageBox(const char* text, const char* caption);

// Shows the box, then ends the process at once with the exit code (no
// shutdown, no saving): the game's fatal paths.
[[noreturn]] void fatalMessage(const char* text, const char* caption, int exitCode);

}  // namespace corsavel
