#include "tools/sounds/WavFile.h"

#include <sndfile.h>

#include <stdexcept>

void WriteWav(const std::string& path, const Signal& signal)
{
    SF_INFO info{};
    info.samplerate = SampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        throw std::runtime_error("cannot write " + path + ": " + sf_strerror(nullptr));
    }
    // Samples are already inside [-1, 1]; clipping on is only a guard against wrap-around.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    const sf_count_t written = sf_writef_float(file, signal.data(), static_cast<sf_count_t>(signal.size()));
    const std::string error = sf_strerror(file);
    sf_close(file);
    if (written != static_cast<sf_count_t>(signal.size())) {
        throw std::runtime_error("cannot write " + path + ": " + error);
    }
}
