#include "game/SoundSource.h"

#include <cmath>

namespace {

// Returns 0 when the mixer refuses the data (out of memory); the source then plays silence.
ALuint UploadBuffer(ALenum format, const std::vector<int16_t>& samples, int sampleRate)
{
    ALuint buffer = 0;
    alGetError();
    alGenBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR)
        return 0;
    alBufferData(buffer, format, samples.data(), static_cast<ALsizei>(samples.size() * sizeof(int16_t)), sampleRate);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &buffer);
        return 0;
    }
    return buffer;
}

} // namespace

SoundSource::SoundSource(const char* name, const DecodedSound& sound, bool withMixer) : name(name ? name : "")
{
    playLengthMs = static_cast<int>(static_cast<double>(sound.Frames()) * 1000.0 / sound.sampleRate);
    if (!withMixer)
        return;
    if (sound.channels == 1) {
        buffer2D = UploadBuffer(AL_FORMAT_MONO16, sound.samples, sound.sampleRate);
        buffer3D = buffer2D;
        return;
    }
    const std::vector<int16_t> mono = DownmixToMono(sound);
    buffer3D = UploadBuffer(AL_FORMAT_MONO16, mono, sound.sampleRate);
    // The mixer takes stereo as is; wider layouts play as their mono downmix.
    buffer2D = sound.channels == 2 ? UploadBuffer(AL_FORMAT_STEREO16, sound.samples, sound.sampleRate) : buffer3D;
}

SoundSource::~SoundSource()
{
    if (buffer3D != 0 && buffer3D != buffer2D)
        alDeleteBuffers(1, &buffer3D);
    if (buffer2D != 0)
        alDeleteBuffers(1, &buffer2D);
}

void SoundSource::setDefaultVolume(float volume)
{
    // A NaN or negative volume would be refused by the mixer and leave a voice's previous level.
    defaultVolume = std::isfinite(volume) && volume > 0.0f ? volume : 0.0f;
}
