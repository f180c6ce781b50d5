// Writes a generated sound as a 16-bit PCM mono WAV file through libsndfile.
#pragma once

#include "tools/sounds/dsp/Signal.h"

#include <string>

// Throws std::runtime_error with libsndfile's reason when the file cannot be written.
void WriteWav(const std::string& path, const Signal& signal);
