// A game controller plays the loop over the gameplay simulation, with SDL's virtual joystick for
// the hardware: plugged in while the game runs, the left stick walks (dead zone, never faster than
// the keys), the right stick looks, the right trigger shoots once per pull, Start pauses and
// resumes, the pause menu is driven through the UI's pad navigation, and pulling the pad out
// mid-walk stops him.
#include "app/UiSettings.h"
#include "support/SceneDriver.h"
#include "support/VirtualPad.h"

#include <backends/imgui_impl_sdl.h>
#include <gtest/gtest.h>
#include <imgui.h>

#include <cmath>
#include <optional>

namespace {

glm::vec3 Position(const SceneDriver& d)
{
    return d.Player().Transform().position;
}

// Events from the pad reach the scene as the main loop hands them over.
void Pump(SceneDriver& d)
{
    VirtualPad::Deliver([&](const SDL_Event& e) { d.Scene().HandleEvent(&e); });
}

void Frames(SceneDriver& d, int count, float dt = SceneDriver::FrameTime)
{
    for (int i = 0; i < count; ++i) {
        Pump(d);
        d.Step(dt);
    }
}

float Horizontal(const glm::vec3& v)
{
    return std::hypot(v.x, v.z);
}

class GamepadPlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        d.StopSpawning();
        d.LookAtYaw(0.0f); // along -Z, the open middle of the arena ahead
        pad.emplace();
        Pump(d);
        ASSERT_TRUE(d.Scene().gamepad.Connected()) << "the scene did not take the pad plugged in while it ran";
    }

    SceneDriver d;
    std::optional<VirtualPad> pad;
};

} // namespace

TEST(GamepadSticks, DeadZoneAndFullTilt)
{
    EXPECT_EQ(Gamepad::Shape({0.15f, -0.1f}), glm::vec2(0.0f)) << "a stick at rest must not creep";
    EXPECT_NEAR(glm::length(Gamepad::Shape({0.0f, -1.0f})), 1.0f, 1e-5f);
    EXPECT_NEAR(glm::length(Gamepad::Shape({1.0f, 1.0f})), 1.0f, 1e-5f) << "a diagonal must not be faster";
    EXPECT_NEAR(Gamepad::Shape({0.6f, 0.0f}).x, 0.5f, 1e-5f) << "the travel past the dead zone is stretched";
    EXPECT_GT(Gamepad::Shape({0.0f, -0.25f}).y, -0.1f);
}

TEST_F(GamepadPlay, LeftStickWalksAtFullSpeedAtFullTiltAndNeverFaster)
{
    const float speed = d.Player().moveSpeed;
    glm::vec3 start = Position(d);
    pad->Stick(SDL_CONTROLLER_AXIS_LEFTX, 0.0f, -1.0f); // pushed away: forward
    Frames(d, 30);
    glm::vec3 moved = Position(d) - start;
    EXPECT_NEAR(-moved.z, speed * 0.5f, speed * 0.5f * 0.03f) << "half a second forward at full tilt";
    EXPECT_NEAR(moved.x, 0.0f, 0.05f);

    // Part-way tilted walks slower; W held as well is still no faster than the keys alone.
    start = Position(d);
    pad->Stick(SDL_CONTROLLER_AXIS_LEFTX, 0.0f, -0.6f);
    Frames(d, 30);
    EXPECT_NEAR(Horizontal(Position(d) - start), speed * 0.5f * 0.5f, 0.05f);
    start = Position(d);
    pad->Stick(SDL_CONTROLLER_AXIS_LEFTX, 1.0f, -1.0f);
    d.Key(SDL_SCANCODE_W, true);
    Frames(d, 30);
    d.Key(SDL_SCANCODE_W, false);
    EXPECT_LE(Horizontal(Position(d) - start), speed * 0.5f * 1.01f);

    // Inside the dead zone he stands.
    pad->Stick(SDL_CONTROLLER_AXIS_LEFTX, 0.12f, -0.12f);
    Frames(d, 2);
    start = Position(d);
    Frames(d, 30);
    EXPECT_LT(Horizontal(Position(d) - start), 1e-4f);
}

TEST_F(GamepadPlay, RightStickTurnsAtItsRateOnGameTimeWithPitchClamped)
{
    pad->Stick(SDL_CONTROLLER_AXIS_RIGHTX, 1.0f, 0.0f);
    Frames(d, 1); // the event reaches the scene; the stick acts from the next frame on
    const float yaw0 = d.Cam().yaw;
    Frames(d, 4, 0.25f); // a second at 4 fps
    const float slow = d.Cam().yaw - yaw0;
    const float yaw1 = d.Cam().yaw;
    Frames(d, 240, 1.0f / 240.0f); // a second at 240 fps
    const float fast = d.Cam().yaw - yaw1;
    EXPECT_NEAR(slow, Camera::StickDegreesPerSecond, 0.5f);
    EXPECT_NEAR(fast, Camera::StickDegreesPerSecond, 0.5f) << "the turn must not depend on the frame rate";

    pad->Stick(SDL_CONTROLLER_AXIS_RIGHTX, 0.0f, 1.0f); // down, as the mouse moving down
    Frames(d, 120);
    EXPECT_FLOAT_EQ(d.Cam().pitch, Camera::MaxFollowPitch);
}

TEST_F(GamepadPlay, TriggerShootsOncePerPullAndStartPausesAndResumes)
{
    pad->Trigger(true);
    Frames(d, 1);
    EXPECT_TRUE(d.Player().shotActive) << "the right trigger did not shoot";
    const auto shot = d.Player().shotTime;
    Frames(d, 600); // held through the whole shot and beyond: no second shot
    EXPECT_FALSE(d.Player().shotActive);
    EXPECT_EQ(d.Player().shotTime, shot);
    pad->Trigger(false);
    Frames(d, 1);
    pad->Trigger(true);
    Frames(d, 1);
    EXPECT_TRUE(d.Player().shotActive) << "a second pull did not shoot";

    pad->Button(SDL_CONTROLLER_BUTTON_START, true);
    Frames(d, 1);
    pad->Button(SDL_CONTROLLER_BUTTON_START, false);
    ASSERT_TRUE(d.Scene().paused);
    // Walking while paused goes nowhere; game time stands.
    const auto now = GameClock::Now();
    const glm::vec3 at = Position(d);
    pad->Stick(SDL_CONTROLLER_AXIS_LEFTX, 0.0f, -1.0f);
    Frames(d, 60);
    EXPECT_EQ(GameClock::Now(), now);
    EXPECT_EQ(Position(d), at);
    pad->Button(SDL_CONTROLLER_BUTTON_START, true);
    Frames(d, 1);
    pad->Button(SDL_CONTROLLER_BUTTON_START, false);
    EXPECT_FALSE(d.Scene().paused);
    Frames(d, 30);
    EXPECT_GT(Horizontal(Position(d) - at), 1.0f) << "the stick held through the pause walks on resume";
}

TEST_F(GamepadPlay, PullingThePadOutMidWalkStopsHimAndANewOneTakesOver)
{
    pad->Stick(SDL_CONTROLLER_AXIS_LEFTX, 0.0f, -1.0f);
    Frames(d, 10);
    pad->Detach();
    Frames(d, 1);
    EXPECT_FALSE(d.Scene().gamepad.Connected());
    const glm::vec3 at = Position(d);
    Frames(d, 30);
    EXPECT_LT(Horizontal(Position(d) - at), 1e-4f) << "he walked on with no pad";

    pad.reset();
    pad.emplace();
    Frames(d, 1);
    ASSERT_TRUE(d.Scene().gamepad.Connected());
    pad->Stick(SDL_CONTROLLER_AXIS_LEFTX, 0.0f, 1.0f); // pulled back: backwards
    Frames(d, 30);
    EXPECT_GT(Position(d).z - at.z, 3.0f);
}

// The pause menu through the UI's own pad navigation, as the game builds its frames: the SDL
// backend reads the pad (on a window of SDL's dummy video driver).
TEST_F(GamepadPlay, PadPicksRestartInThePauseMenu)
{
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    // The dummy driver's window never gets the keyboard focus, without which SDL holds back a
    // pad's presses while video is up.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("Zorbulon", 0, 0, 1280, 720, 0);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    ImGui::CreateContext();
    ApplyUiSettings();
    ImGui_ImplSDL2_InitForVulkan(window);
    unsigned char* pixels = nullptr;
    int w = 0, h = 0;
    ImGui::GetIO().Fonts->GetTexDataAsRGBA32(&pixels, &w, &h);
    d.Scene().windowWidth = 1280;
    d.Scene().windowHeight = 720;
    const auto uiFrames = [&](int count) {
        for (int i = 0; i < count; ++i) {
            VirtualPad::Deliver([&](const SDL_Event& e) {
                ImGui_ImplSDL2_ProcessEvent(&e);
                d.Scene().HandleEvent(&e);
            });
            d.Step();
            ImGui_ImplSDL2_NewFrame();
            ImGui::NewFrame();
            d.Scene().DrawUI();
            ImGui::Render();
        }
    };
    const auto press = [&](SDL_GameControllerButton button) {
        pad->Button(button, true);
        uiFrames(2);
        pad->Button(button, false);
        uiFrames(2);
    };

    press(SDL_CONTROLLER_BUTTON_START);
    EXPECT_TRUE(d.Scene().paused);
    // The options: the pad reaches "Invert mouse look" (third from the top) and turns it on.
    press(SDL_CONTROLLER_BUTTON_DPAD_DOWN); // Resume -> Options
    press(SDL_CONTROLLER_BUTTON_A);
    ASSERT_TRUE(d.Scene().Options().IsOpen());
    press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    press(SDL_CONTROLLER_BUTTON_A);
    EXPECT_TRUE(d.Scene().Settings().invertMouseY);
    EXPECT_TRUE(d.Cam().invertMouseY) << "applied at once";
    press(SDL_CONTROLLER_BUTTON_START); // back to the pause menu
    EXPECT_FALSE(d.Scene().Options().IsOpen());
    EXPECT_TRUE(d.Scene().paused);

    press(SDL_CONTROLLER_BUTTON_DPAD_DOWN); // Resume -> Options -> Restart
    press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    EXPECT_FALSE(d.Scene().restartRequested);
    press(SDL_CONTROLLER_BUTTON_A);
    EXPECT_TRUE(d.Scene().restartRequested) << "A on the second button did not pick Restart";
    EXPECT_FALSE(d.Scene().quitRequested);

    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_ResetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS);
}
