// A sound engine that plays nothing and writes down every call it receives, in order, so tests
// can check what the sound manager asks of its engine.
#pragma once

#include "game/ISoundEngine.h"

#include <deque>
#include <sstream>
#include <string>
#include <vector>

class RecordingSoundEngine final : public ISoundEngine {
public:
    class Source final : public ISoundSource {
    public:
        Source(RecordingSoundEngine& engine, std::string name) : engine(engine), name(std::move(name)) {}
        const char* getName() const override { return name.c_str(); }
        void setDefaultVolume(float volume) override
        {
            defaultVolume = volume;
            engine.Record("setDefaultVolume " + name + " " + Number(volume));
        }
        float getDefaultVolume() const override { return defaultVolume; }
        int getPlayLength() const override { return 0; }

    private:
        RecordingSoundEngine& engine;
        std::string name;
        float defaultVolume = 1.0f;
    };

    class Sound final : public ISound {
    public:
        explicit Sound(RecordingSoundEngine& engine) : engine(engine) {}
        void setVolume(float v) override { engine.Record("sound.setVolume " + Number(v)); }
        float getVolume() const override { return 0.0f; }
        void setIsPaused(bool paused) override { engine.Record(std::string("sound.setIsPaused ") + Flag(paused)); }
        bool getIsPaused() const override { return false; }
        void stop() override { engine.Record("sound.stop"); }
        bool isFinished() const override { return true; }
        void drop() override { engine.Record("sound.drop"); }

    private:
        RecordingSoundEngine& engine;
    };

    RecordingSoundEngine() = default;
    ~RecordingSoundEngine() override = default;

    // The references held on this engine: 1 at creation, as from the factory.
    int refCount = 1;
    // Names whose bytes the engine pretends not to decode.
    std::vector<std::string> undecodable;
    // When false, plays return no sound even if one is asked for.
    bool handOutSounds = true;
    std::vector<std::string> calls;

    void grab() override { ++refCount; }
    bool drop() override
    {
        Record("drop");
        return --refCount == 0;
    }
    ISoundSource* addSoundSourceFromMemory(const void*, size_t size, const char* name, bool copyMemory) override
    {
        Record("add " + std::string(name) + " " + std::to_string(size) + " " + Flag(copyMemory));
        for (const std::string& bad : undecodable)
            if (bad == name)
                return nullptr;
        return &sources.emplace_back(*this, name);
    }
    ISound* play2D(ISoundSource* source, bool looped, bool paused, bool track) override
    {
        Record("play2D " + NameOf(source) + " " + Flag(looped) + Flag(paused) + Flag(track));
        return paused || track ? Hand() : nullptr;
    }
    ISound* play3D(ISoundSource* source, const glm::vec3& p, bool looped, bool paused, bool track) override
    {
        Record("play3D " + NameOf(source) + " " + Vec(p) + " " + Flag(looped) + Flag(paused) + Flag(track));
        return paused || track ? Hand() : nullptr;
    }
    void setAllSoundsPaused(bool paused) override { Record(std::string("setAllSoundsPaused ") + Flag(paused)); }
    void setSoundVolume(float volume) override { Record("setSoundVolume " + Number(volume)); }
    void update() override { Record("update"); }
    void setListenerPosition(const glm::vec3& position, const glm::vec3& look, const glm::vec3& velocity,
                             const glm::vec3& up) override
    {
        Record("listener " + Vec(position) + " " + Vec(look) + " " + Vec(velocity) + " " + Vec(up));
    }

    void Record(const std::string& call) { calls.push_back(call); }

    static std::string Number(float v)
    {
        std::ostringstream out;
        out << v;
        return out.str();
    }
    static std::string Vec(const glm::vec3& v)
    {
        return "(" + Number(v.x) + "," + Number(v.y) + "," + Number(v.z) + ")";
    }
    static const char* Flag(bool b) { return b ? "1" : "0"; }
    static std::string NameOf(ISoundSource* s) { return s ? s->getName() : "<null>"; }

private:
    ISound* Hand() { return handOutSounds ? &sounds.emplace_back(*this) : nullptr; }

    // Deques keep element addresses stable as they grow.
    std::deque<Source> sources;
    std::deque<Sound> sounds;
};
