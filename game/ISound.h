// A handle on one playing sound, handed out by the engine when a play asks to start paused or to
// be tracked. The sound keeps playing after drop(); drop() only gives the handle back. A handle
// keeps its engine alive until it is dropped.
#pragma once

class ISound {
public:
    virtual void setVolume(float volume) = 0;
    virtual float getVolume() const = 0;
    virtual void setIsPaused(bool paused = true) = 0;
    virtual bool getIsPaused() const = 0;
    // Ends playback; the handle stays valid until dropped.
    virtual void stop() = 0;
    // True once playback ended (played out, stopped, or never audible).
    virtual bool isFinished() const = 0;
    // Gives the handle back to the engine; the pointer must not be used afterwards.
    virtual void drop() = 0;

protected:
    virtual ~ISound() = default;
};
