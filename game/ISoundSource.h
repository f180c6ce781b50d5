// A sound loaded into the engine once, played any number of times. The engine owns every source;
// callers keep plain pointers until the engine is released.
#pragma once

class ISoundSource {
public:
    // The name the source was added under.
    virtual const char* getName() const = 0;
    // Volume that every later play of this source starts at (1 = as recorded; above 1 amplifies).
    virtual void setDefaultVolume(float volume) = 0;
    virtual float getDefaultVolume() const = 0;
    // Length of the decoded sound in milliseconds.
    virtual int getPlayLength() const = 0;

protected:
    virtual ~ISoundSource() = default;
};
