// Scene0's HUD and menus drawn into a real UI context (no renderer backend): the round counter,
// the damage border, when each menu shows, and what its buttons do when clicked.
#include "support/SceneDriver.h"
#include "support/UiFrames.h"

#include <gtest/gtest.h>
#include <imgui.h>
#include <imgui_internal.h>

namespace {

// Kills the player and draws the frame that starts the game-over countdown.
void KillPlayer(SceneDriver& d, UiFrames& ui)
{
    d.StopSpawning();
    d.Player().TakeDamage(false, 100.0f);
    d.Step();
    ASSERT_TRUE(d.Player().dead);
    ui.Frame(d.Scene());
}

} // namespace

TEST(Scene0UI, RoundCounterFromTheFirstFrame)
{
    SceneDriver d;
    UiFrames ui(1280.0f, 720.0f);
    ui.Frame(d.Scene());
    ASSERT_TRUE(UiFrames::Shown("TopLeftText2"));
    ImGuiWindow* counter = ImGui::FindWindowByName("TopLeftText2");
    EXPECT_FLOAT_EQ(counter->FontWindowScale, 2.5f);
    EXPECT_EQ(counter->Pos.x, 10.0f);
    EXPECT_EQ(counter->Size.x, 400.0f);
    EXPECT_EQ(counter->Flags & 175, 175);
    EXPECT_FALSE(UiFrames::Shown("GAME OVER"));
    EXPECT_EQ(ui.backgroundVertices, 0); // full health: no border
}

TEST(Scene0UI, DamageBorderOnlyWhileHurtAndAlive)
{
    SceneDriver d;
    UiFrames ui(1280.0f, 720.0f);
    d.Player().health = 75.0f;
    ui.Frame(d.Scene());
    EXPECT_GT(ui.backgroundVertices, 0);
    d.Player().health = 0.0f;
    ui.Frame(d.Scene());
    EXPECT_EQ(ui.backgroundVertices, 0);
}

TEST(Scene0UI, PauseMenuResumeComesFirst)
{
    SceneDriver d;
    UiFrames ui(1280.0f, 720.0f);
    d.Tap(SDL_SCANCODE_ESCAPE);
    ui.Frame(d.Scene());
    ASSERT_TRUE(UiFrames::Shown("GAME OVER"));
    ImGuiWindow* menu = ImGui::FindWindowByName("GAME OVER");
    EXPECT_EQ(menu->Pos.x, (1280.0f - 300.0f) * 0.5f);
    EXPECT_EQ(menu->Pos.y, (720.0f - 150.0f) * 0.5f);
    ui.ClickMenuButton(d.Scene(), "Resume");
    EXPECT_FALSE(d.Scene().paused);
    EXPECT_FALSE(d.Scene().restartRequested);
    ui.Frame(d.Scene());
    EXPECT_FALSE(UiFrames::Shown("GAME OVER"));
}

TEST(Scene0UI, PauseMenuExit)
{
    SceneDriver d;
    UiFrames ui(1280.0f, 720.0f);
    d.Tap(SDL_SCANCODE_ESCAPE);
    ui.Frame(d.Scene());
    ui.ClickMenuButton(d.Scene(), "Exit");
    EXPECT_TRUE(d.Scene().quitRequested);
    EXPECT_FALSE(d.Scene().restartRequested);
    EXPECT_TRUE(d.Scene().paused);
}

TEST(Scene0UI, GameOverMenuAfterSixWholeSecondsRestartFirst)
{
    SceneDriver d;
    UiFrames ui(1280.0f, 720.0f);
    KillPlayer(d, ui); // the game-over timer starts here
    GameClock::AdvanceSeconds(5.9);
    ui.Frame(d.Scene());
    EXPECT_FALSE(UiFrames::Shown("GAME OVER"));
    GameClock::AdvanceSeconds(0.1);
    ui.Frame(d.Scene());
    ASSERT_TRUE(UiFrames::Shown("GAME OVER"));
    ui.ClickMenuButton(d.Scene(), "Restart");
    EXPECT_TRUE(d.Scene().restartRequested);
    EXPECT_FALSE(d.Scene().quitRequested);
    ui.ClickMenuButton(d.Scene(), "Exit");
    EXPECT_TRUE(d.Scene().quitRequested);
}

TEST(Scene0UI, WindowLostWhileDeadPausesTheGameOverCountdown)
{
    SceneDriver d;
    UiFrames ui(1280.0f, 720.0f);
    KillPlayer(d, ui);
    d.RunFor(3.0f);
    d.Window(SDL_WINDOWEVENT_MINIMIZED);
    ASSERT_TRUE(d.Scene().paused);
    d.RunFor(10.0f);
    ui.Frame(d.Scene());
    // The pause menu (Resume first) stands in for the game-over menu while paused.
    ASSERT_TRUE(UiFrames::Shown("GAME OVER"));
    ui.ClickMenuButton(d.Scene(), "Resume");
    EXPECT_FALSE(d.Scene().paused);
    EXPECT_FALSE(d.Scene().restartRequested);
    // Three seconds of the countdown went by before the pause: the menu is due three later.
    d.RunFor(2.5f);
    ui.Frame(d.Scene());
    EXPECT_FALSE(UiFrames::Shown("GAME OVER"));
    d.RunFor(1.0f);
    ui.Frame(d.Scene());
    EXPECT_TRUE(UiFrames::Shown("GAME OVER"));
}
