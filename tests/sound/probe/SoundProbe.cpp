// Child process of the sound output tests. It runs the game's sound manager on whatever OpenAL
// driver its environment selects (the wave-file writer, or none at all) against the pack in the
// directory it is given, and reports on standard output.
//
//   zorbulon_sound_probe DIR warmup                         load "Tone" only
//   zorbulon_sound_probe DIR play2d VOLUME                  play "Tone" unpositioned
//   zorbulon_sound_probe DIR play3d X Y Z LX LY LZ RX RY RZ   listener at the origin looking
//                                                          along L with right R; "Tone" at X Y Z
//   zorbulon_sound_probe DIR silent                         every call, with no device
//   zorbulon_sound_probe DIR busy                           a busy moment from the real pack in DIR:
//                                                          24 zombies groaning around the player,
//                                                          a burst, its puddle bubbling, fire
//   zorbulon_sound_probe DIR game idle|shot|paused|resumed  the whole game over a renderer without
//                                                          a GPU, from the real pack in DIR: let the
//                                                          round sound end, then stand or shoot;
//                                                          paused: Escape right after the shot;
//                                                          resumed: and Escape again a second later
#include "game/Scene0.h"
#include "game/SoundEngine.h"
#include "game/SoundManager.h"
#include "support/NullRenderer.h"

#include <SDL2/SDL.h>

#include <glm/geometric.hpp>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

glm::vec3 Vec(char** args)
{
    return glm::vec3(std::atof(args[0]), std::atof(args[1]), std::atof(args[2]));
}

// Lets the real-time writer record the whole sound, with a margin for a busy machine.
void WaitForTone()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
}

int Silent()
{
    SoundEngine* engine = static_cast<SoundEngine*>(createSoundEngine());
    std::printf("device %d\n", engine->HasDevice() ? 1 : 0);
    engine->drop();

    SoundManager manager;
    manager.LoadSound("Tone");
    std::printf("warm-up pending %d\n", manager.IsWarmUpPending() ? 1 : 0);
    std::printf("length %d\n", manager.GetSoundSource("Tone")->getPlayLength());
    try {
        manager.LoadSound("Garbage");
    } catch (const std::runtime_error& e) {
        std::printf("garbage %s\n", e.what());
    }
    manager.GetSoundSource("Tone")->setDefaultVolume(2.0f);
    manager.UpdateListener(glm::vec3(1.0f), glm::vec3(0, 0, -1), glm::vec3(0, -1, 0));
    for (int i = 0; i < 100; ++i)
        manager.PlaySound3D("Tone", glm::vec3(float(i), 0.0f, 0.0f), false);
    manager.PlaySound2D("Tone");
    ISound* sound = manager.PlaySound3D("Tone", glm::vec3(0.0f), true);
    sound->setVolume(0.5f);
    sound->setIsPaused(false);
    std::printf("finished %d\n", sound->isFinished() ? 1 : 0);
    sound->stop();
    sound->drop();
    std::printf("done\n");
    return 0;
}

// The loudest moment a round makes, through the real sound manager and the game's own volumes:
// every zombie groans at once, closing in on the player in three rings (eight within reach, the
// others at 5 and 9 m), a frame or two apart; the bubble bursts 2 m ahead of him, its puddle
// bubbles, and he stands in the fire, whose crackle the player replays every 0.3 s.
int Busy()
{
    static const char* const names[] = {"GunShot",       "Bubbling",     "PlayerHit",    "ZombieAttack2",
                                        "ZombieNormal1", "ZombieNormal2", "ZombieNormal3", "ZombieDeath1",
                                        "ZombieDeath2",  "RoundChange",  "BulletExplode", "Burning",
                                        "Walk1",         "Walk2",        "Walk3",        "Walk4"};
    SoundManager manager;
    for (const char* name : names)
        manager.LoadSound(name);
    // As the player sets them at construction.
    manager.GetSoundSource("Burning")->setDefaultVolume(2.0f);
    manager.GetSoundSource("BulletExplode")->setDefaultVolume(2.0f);
    manager.UpdateListener(glm::vec3(0.0f), glm::vec3(0, 0, -1), glm::vec3(0, 1, 0));

    static const char* const groans[] = {"ZombieNormal1", "ZombieNormal2", "ZombieNormal3"};
    const float rings[] = {1.5f, 5.0f, 9.0f};
    constexpr int zombies = 24;
    for (int i = 0; i < zombies; ++i) {
        const float angle = 2.0f * 3.14159265f * float(i % 8) / 8.0f + 0.4f * float(i / 8);
        const float r = rings[i / 8];
        manager.PlaySound3D(groans[i % 3], glm::vec3(r * std::sin(angle), 0.0f, -r * std::cos(angle)), false);
        if (i == 4) {
            manager.PlaySound3D("BulletExplode", glm::vec3(0, 0, -2), false);
            manager.PlaySound3D("Bubbling", glm::vec3(0, 0, -2), false);
        }
        if (i % 10 == 0)
            manager.PlaySound3D("Burning", glm::vec3(0.0f), false);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    // Until the longest groan has ended.
    std::this_thread::sleep_for(std::chrono::milliseconds(2200));
    std::printf("done\n");
    return 0;
}

// Runs the game in real time (the wave writer records in real time) for `seconds`.
void RunGame(Scene0& scene, double seconds)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    Clock::time_point last = Clock::now();
    while (Clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
        const Clock::time_point now = Clock::now();
        scene.Update(std::min(0.1f, std::chrono::duration<float>(now - last).count()));
        scene.Render();
        last = now;
    }
}

void PressEscape(Scene0& scene)
{
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    scene.HandleEvent(&key);
    key.type = SDL_KEYUP;
    scene.HandleEvent(&key);
}

int Game(const std::string& action)
{
    NullRenderer renderer;
    Scene0 scene(&renderer);
    // The round-change sound of the first round lasts two seconds.
    RunGame(scene, 2.5);
    if (action != "idle") {
        SDL_Event click{};
        click.type = SDL_MOUSEBUTTONDOWN;
        click.button.button = SDL_BUTTON_LEFT;
        scene.HandleEvent(&click);
    }
    if (action == "paused" || action == "resumed")
        PressEscape(scene);
    if (action == "resumed") {
        RunGame(scene, 1.0);
        PressEscape(scene);
    }
    RunGame(scene, 1.2);
    std::printf("done\n");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    std::filesystem::current_path(argv[1]);
    const std::string mode = argv[2];
    if (mode == "silent")
        return Silent();
    if (mode == "game" && argc == 4)
        return Game(argv[3]);
    if (mode == "busy")
        return Busy();

    SoundManager manager;
    manager.LoadSound("Tone");
    if (mode == "play2d" && argc == 4) {
        manager.GetSoundSource("Tone")->setDefaultVolume(float(std::atof(argv[3])));
        manager.PlaySound2D("Tone");
    } else if (mode == "play3d" && argc == 12) {
        const glm::vec3 look = Vec(argv + 6), right = Vec(argv + 9);
        // As the scene places the listener.
        manager.UpdateListener(glm::vec3(0.0f), look, glm::normalize(glm::cross(look, right)));
        manager.PlaySound3D("Tone", Vec(argv + 3), false);
    } else if (mode != "warmup") {
        return 2;
    }
    WaitForTone();
    std::printf("done\n");
    return 0;
}
