// The player's options in play: bindings by key position and their rebinding, the options panel
// reached from the pause menu, the look, the volumes, the crosshair and the best round kept
// across runs. Driven on a scene without a GPU.
#include "game/InputMap.h"
#include "game/PlayerProfile.h"
#include "support/SceneDriver.h"
#include "support/TempDir.h"
#include "support/UiFrames.h"

#include <gtest/gtest.h>
#include <imgui.h>

#include <sstream>

TEST(InputMap, RebindingSwapsRatherThanLeavingAnActionUnbound)
{
    GameSettings settings;
    EXPECT_EQ(ActionForKey(settings, SDL_SCANCODE_W), InputAction::Forward);
    EXPECT_EQ(ActionForMouse(settings, SDL_BUTTON_LEFT), InputAction::Fire);
    EXPECT_EQ(ActionForKey(settings, SDL_SCANCODE_F), InputAction::Count);

    Rebind(settings, InputAction::Fire, InputBinding::Key(SDL_SCANCODE_W));
    EXPECT_EQ(ActionForKey(settings, SDL_SCANCODE_W), InputAction::Fire);
    EXPECT_EQ(settings.Binding(InputAction::Forward), InputBinding::Mouse(SDL_BUTTON_LEFT))
        << "forward takes the input fire gave up";
    Rebind(settings, InputAction::Fire, InputBinding::Key(SDL_SCANCODE_W));
    EXPECT_EQ(settings.Binding(InputAction::Forward), InputBinding::Mouse(SDL_BUTTON_LEFT)) << "a rebinding to itself";
}

TEST(PlayerOptions, ReboundKeysWalkAndPauseAndTheOldOnesDoNothing)
{
    PlayerProfile profile({}, {});
    Rebind(profile.settings, InputAction::Forward, InputBinding::Key(SDL_SCANCODE_UP));
    Rebind(profile.settings, InputAction::Pause, InputBinding::Key(SDL_SCANCODE_P));
    SceneDriver d(1, &profile);

    d.Key(SDL_SCANCODE_W, true);
    EXPECT_FALSE(d.Player().moveKeys[PlayerActor::Forward]);
    d.Key(SDL_SCANCODE_UP, true);
    EXPECT_TRUE(d.Player().moveKeys[PlayerActor::Forward]);
    d.Key(SDL_SCANCODE_UP, false);
    EXPECT_FALSE(d.Player().moveKeys[PlayerActor::Forward]);

    d.Tap(SDL_SCANCODE_ESCAPE);
    EXPECT_FALSE(d.Scene().paused) << "Escape is no longer pause";
    d.Tap(SDL_SCANCODE_P);
    EXPECT_TRUE(d.Scene().paused);
}

TEST(PlayerOptions, OptionsOpenFromThePauseMenuAndEscapeGoesBackToIt)
{
    SceneDriver d;
    UiFrames ui(1280.0f, 720.0f);
    d.Tap(SDL_SCANCODE_ESCAPE);
    ui.Frame(d.Scene());
    ui.ClickMenuButton(d.Scene(), "Options");
    ui.Frame(d.Scene());
    ASSERT_TRUE(UiFrames::Shown("Options"));
    EXPECT_FALSE(UiFrames::Shown("GAME OVER"));
    const ImGuiWindow* panel = ImGui::FindWindowByName("Options");
    EXPECT_FLOAT_EQ(panel->Pos.x + panel->Size.x * 0.5f, 640.0f) << "centred";
    EXPECT_FLOAT_EQ(panel->Pos.y + panel->Size.y * 0.5f, 360.0f);
    ui.Frame(d.Scene()); // the panel knows its content's height from its second frame
    EXPECT_EQ(panel->ScrollMax.y, 0.0f) << "every option without scrolling in the smallest window";

    d.Tap(SDL_SCANCODE_ESCAPE);
    ui.Frame(d.Scene());
    EXPECT_TRUE(d.Scene().paused) << "back to the pause menu, not into the game";
    EXPECT_TRUE(UiFrames::Shown("GAME OVER"));
    EXPECT_FALSE(UiFrames::Shown("Options"));
}

TEST(PlayerOptions, ANewBindingTakesTheNextKeyAndTheUiNeverSeesIt)
{
    SceneDriver d;
    UiFrames ui(1280.0f, 720.0f);
    d.Tap(SDL_SCANCODE_ESCAPE);
    d.Scene().Options().Open(d.Scene().Settings());
    d.Scene().Options().BeginCapture(InputAction::Fire);
    ui.Frame(d.Scene());

    // The press reaches the UI first, as the application delivers it.
    ImGui::GetIO().KeysDown[SDL_SCANCODE_RETURN] = true;
    d.Key(SDL_SCANCODE_RETURN, true);
    EXPECT_FALSE(ImGui::GetIO().KeysDown[SDL_SCANCODE_RETURN]) << "the Enter must not also press a button";
    EXPECT_FALSE(d.Scene().Options().Capturing());
    EXPECT_EQ(d.Scene().Settings().Binding(InputAction::Fire), InputBinding::Key(SDL_SCANCODE_RETURN));
    d.Key(SDL_SCANCODE_RETURN, false);

    d.Scene().Options().BeginCapture(InputAction::Forward);
    d.Tap(SDL_SCANCODE_ESCAPE);
    EXPECT_FALSE(d.Scene().Options().Capturing());
    EXPECT_EQ(d.Scene().Settings().Binding(InputAction::Forward), InputBinding::Key(SDL_SCANCODE_W)) << "cancelled";
    EXPECT_TRUE(d.Scene().Options().IsOpen()) << "the Escape that cancels does not also leave the panel";

    d.Scene().SetPaused(false);
    EXPECT_FALSE(d.Scene().Options().IsOpen());
    d.Key(SDL_SCANCODE_RETURN, true);
    EXPECT_TRUE(d.Player().shotActive) << "the new fire key shoots";
}

TEST(PlayerOptions, LookSettingsTurnTheCameraAndTheViewFollowsTheWindow)
{
    PlayerProfile profile({}, {});
    profile.settings.mouseSensitivityX = 2.0f;
    profile.settings.invertMouseY = true;
    profile.settings.fieldOfView = 100.0f;
    SceneDriver d(1, &profile);
    const float yaw = d.Cam().yaw, pitch = d.Cam().pitch;
    d.MouseMotion(10, 10);
    EXPECT_FLOAT_EQ(d.Cam().yaw - yaw, 2.0f);
    EXPECT_FLOAT_EQ(d.Cam().pitch - pitch, -1.0f);
    EXPECT_FLOAT_EQ(d.Cam().fov, 100.0f);

    // A wider window: the same vertical view, more to the sides.
    const float vertical = d.Cam().projection[1][1];
    d.renderer.window.width = 2560;
    d.renderer.window.height = 1080;
    d.Step();
    EXPECT_FLOAT_EQ(d.Cam().projection[1][1], vertical);
    EXPECT_FLOAT_EQ(d.Cam().projection[0][0] * 2560.0f, std::abs(vertical) * 1080.0f);
}

TEST(PlayerOptions, CrosshairWhilePlayingOnlyAndOffInTheOptions)
{
    PlayerProfile profile({}, {});
    SceneDriver d(1, &profile);
    UiFrames ui(1280.0f, 720.0f);
    ui.Frame(d.Scene());
    EXPECT_GT(ui.foregroundVertices, 0);
    d.Tap(SDL_SCANCODE_ESCAPE);
    ui.Frame(d.Scene());
    EXPECT_EQ(ui.foregroundVertices, 0) << "none over the pause menu";
    d.Tap(SDL_SCANCODE_ESCAPE);
    profile.settings.crosshair = false;
    ui.Frame(d.Scene());
    EXPECT_EQ(ui.foregroundVertices, 0);
}

TEST(PlayerOptions, TheBestRoundOutlivesTheProcessAndTheGameOverMenuSaysSo)
{
    TempDir dir;
    {
        PlayerProfile profile(dir.Path() / "config", dir.Path() / "data");
        SceneDriver d(1, &profile);
        UiFrames ui(1280.0f, 720.0f);
        d.Step(); // the first round starts
        d.Scene().NextRound();
        d.Scene().NextRound();
        ASSERT_EQ(d.Scene().round, 3);
        d.StopSpawning();
        d.Player().TakeDamage(false, 100.0f);
        d.Step();
        ui.Frame(d.Scene()); // the death is seen: the record is written now, not at exit
        PlayerProfile reread(dir.Path() / "config", dir.Path() / "data");
        EXPECT_EQ(reread.records.bestRound, 3u);
        EXPECT_EQ(d.Scene().BestRoundBefore(), 0u);
    }
    PlayerProfile profile(dir.Path() / "config", dir.Path() / "data");
    SceneDriver d(1, &profile);
    EXPECT_EQ(d.Scene().BestRoundBefore(), 3u);
    d.Step();
    ASSERT_EQ(d.Scene().round, 1);
    EXPECT_EQ(profile.records.bestRound, 3u) << "round 1 is no record";
}
