// A game controller plays the real game from start to finish, on a real X server with lavapipe:
// the launcher's Start Game with A, then in the game window walking, shooting, Start for the pause
// menu, the d-pad and A for Restart, the fresh scene still steered by the same pad, and the pad
// pulled out mid-walk. The main loop's own steps run each frame (events through the UI and the
// scene, update, render); the pad is SDL's virtual joystick.
#include "app/Application.h"
#include "app/Launcher.h"
#include "game/Scene0.h"
#include "game/actors/PlayerActor.h"
#include "renderer/VulkanRenderer.h"
#include "scene/camera/Camera.h"
#include "scene/components/TransformComponent.h"
#include "support/VirtualPad.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

constexpr float FrameTime = 1.0f / 60.0f;

Scene0& Game(Application& app)
{
    return *static_cast<Scene0*>(app.scene.get());
}

float DistanceWalked(const glm::vec3& from, const glm::vec3& to)
{
    return std::hypot(to.x - from.x, to.z - from.z);
}

} // namespace

TEST(GamepadEndToEnd, APadPlaysFromTheLauncherThroughRestart)
{
    VirtualPad pad;
    int launcherFrames = 0;
    const auto padLauncher = [&](Application& app) {
        LauncherWindow launcher = OpenLauncherWindow();
        bool started = false;
        for (; launcherFrames < 300 && !started; ++launcherFrames) {
            // Once the panel is up: the d-pad shows the cursor on Start Game, A presses it.
            if (launcherFrames == 5 || launcherFrames == 9)
                pad.Button(launcherFrames == 5 ? SDL_CONTROLLER_BUTTON_DPAD_DOWN : SDL_CONTROLLER_BUTTON_A, true);
            if (launcherFrames == 7 || launcherFrames == 11)
                pad.Button(launcherFrames == 7 ? SDL_CONTROLLER_BUTTON_DPAD_DOWN : SDL_CONTROLLER_BUTTON_A, false);
            started = DrawLauncherFrame(launcher, app.width, app.height, app.windowMode);
        }
        CloseLauncherWindow(launcher);
        // The game starts on the press: A goes up in the game window.
        pad.Button(SDL_CONTROLLER_BUTTON_A, false);
        ASSERT_TRUE(started) << "A on the launcher did not start the game";
    };
    Application app([](WindowInfo* window) { return std::make_unique<VulkanRenderer>(window); },
                    [](IRenderer* renderer) { return std::make_unique<Scene0>(renderer); }, padLauncher);
    EXPECT_LT(launcherFrames, 30);

    const auto frames = [&](int count) {
        for (int i = 0; i < count; ++i) {
            app.PollEvents();
            app.scene->Update(FrameTime);
            app.scene->Render();
            if (app.scene->restartRequested)
                app.RestartScene();
        }
    };
    // One frame down: frames on lavapipe are slow enough that a longer hold repeats a d-pad move.
    const auto press = [&](SDL_GameControllerButton button) {
        pad.Button(button, true);
        frames(1);
        pad.Button(button, false);
        frames(2);
    };

    frames(3);
    ASSERT_TRUE(Game(app).gamepad.Connected());
    Game(app).zombiesSpawned = Game(app).zombiesThisRound; // a quiet arena
    Game(app).camera->yaw = 0.0f;
    glm::vec3 start = Game(app).player->Transform().position;
    pad.Stick(SDL_CONTROLLER_AXIS_LEFTX, 0.0f, -1.0f);
    frames(20);
    pad.Stick(SDL_CONTROLLER_AXIS_LEFTX, 0.0f, 0.0f);
    frames(1);
    EXPECT_GT(DistanceWalked(start, Game(app).player->Transform().position), 1.5f) << "the left stick did not walk";

    pad.Trigger(true);
    frames(2);
    pad.Trigger(false);
    EXPECT_TRUE(Game(app).player->shotActive) << "the right trigger did not shoot";

    press(SDL_CONTROLLER_BUTTON_START);
    ASSERT_TRUE(Game(app).paused);
    const glm::vec3 walkedTo = Game(app).player->Transform().position;
    press(SDL_CONTROLLER_BUTTON_DPAD_DOWN); // Resume -> Options
    press(SDL_CONTROLLER_BUTTON_DPAD_DOWN); // -> Restart
    press(SDL_CONTROLLER_BUTTON_A);
    // A fresh scene (it may reuse the old one's memory): not paused, the player back at his start.
    EXPECT_FALSE(Game(app).paused) << "the pad's Restart did not restart";
    EXPECT_GT(DistanceWalked(walkedTo, Game(app).player->Transform().position), 1.5f)
        << "the pad's Restart did not restart";
    EXPECT_FALSE(Game(app).player->shotActive);
    EXPECT_FALSE(Game(app).quitRequested);

    // The fresh scene takes the pad that is still plugged in; pulled out mid-walk, he stops.
    frames(2);
    ASSERT_TRUE(Game(app).gamepad.Connected());
    start = Game(app).player->Transform().position;
    pad.Stick(SDL_CONTROLLER_AXIS_LEFTX, 0.0f, -1.0f);
    frames(10);
    EXPECT_GT(DistanceWalked(start, Game(app).player->Transform().position), 0.5f);
    pad.Detach();
    frames(2);
    EXPECT_FALSE(Game(app).gamepad.Connected());
    const glm::vec3 stopped = Game(app).player->Transform().position;
    frames(10);
    EXPECT_LT(DistanceWalked(stopped, Game(app).player->Transform().position), 1e-4f);
    app.running = false; // the application shuts down as it does on Exit
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
