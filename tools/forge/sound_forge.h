#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "forge/forge.h"
#include "forge/sound_synth.h"

namespace corsavel::forge {

// Every sample file name the game asks for, each made into "Sounds/<name>".
const std::vector<std::string>& gameSampleNames();
// The names among them that are spoken; the voice lines stay at 22050 Hz.
bool isVoiceLine(const std::string& name);

// Speaks `text` with espeak-ng into mono 22050 Hz samples; false with a
// message when espeak-ng is missing or fails.
bool speakLine(const std::string& text, Wave& out, std::string* error);

// The samples and "music.mo3". False, with a message, when a sample could
// not be made (espeak-ng missing): the forge then fails instead of shipping
// a game with missing voices.
bool forgeSounds(ForgeOutput& output, std::string* error);

// The tracker module holding the nine tunes at orders 0..8.
std::vector<uint8_t> forgeMusicModule();
// Names of the tunes by order position, for the forge's own report.
const char* tuneName(int position);

}  // namespace corsavel::forge
