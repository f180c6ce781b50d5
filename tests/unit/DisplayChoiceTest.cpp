// The display choices made without a window: the launcher's list of sizes, whether the game can
// show a window at all, and the keys that switch fullscreen.
#include "app/DisplayCheck.h"
#include "app/DisplaySizes.h"
#include "app/FullscreenToggleKeys.h"
#include "app/ModeSwitchFocus.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

SDL_Event Key(Uint32 type, SDL_Keycode sym, SDL_Scancode scancode, Uint16 mod = KMOD_NONE, Uint8 repeat = 0)
{
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = sym;
    event.key.keysym.scancode = scancode;
    event.key.keysym.mod = mod;
    event.key.repeat = repeat;
    return event;
}

} // namespace

TEST(DisplaySizes, EachSizeOnceLargestFirstWithoutSizesTheLauncherWouldClamp)
{
    // Modes as a driver may list them: per refresh rate, in no particular order.
    const std::vector<DisplaySize> modes = {{1920, 1080}, {1280, 720}, {2560, 1440}, {1920, 1080}, {1920, 1200},
                                            {800, 600},   {1280, 720}, {1280, 1024}, {1280, 800},  {20000, 1080}};
    const std::vector<DisplaySize> expected = {{2560, 1440}, {1920, 1200}, {1920, 1080},
                                               {1280, 1024}, {1280, 800},  {1280, 720}};
    EXPECT_EQ(DistinctSizesLargestFirst(modes), expected);
    EXPECT_TRUE(DistinctSizesLargestFirst({{640, 480}}).empty());
}

TEST(DisplayCheck, NoDisplayUnlessADisplayOrAChosenDriverIsGiven)
{
    const std::string none = NoDisplayReason(nullptr, nullptr, nullptr);
    EXPECT_EQ(none.rfind("no display: ", 0), 0u) << none;
    EXPECT_EQ(NoDisplayReason("", "", ""), none) << "empty values count as unset";
    EXPECT_EQ(NoDisplayReason(":0", nullptr, nullptr), "");
    EXPECT_EQ(NoDisplayReason(nullptr, "wayland-0", nullptr), "");
    EXPECT_EQ(NoDisplayReason(nullptr, nullptr, "dummy"), "");

    // After SDL_Init: a windowless fallback is refused, unless it was what was asked for.
    EXPECT_EQ(WindowlessDriverReason("offscreen", nullptr).rfind("no display: ", 0), 0u);
    EXPECT_EQ(WindowlessDriverReason("dummy", "").rfind("no display: ", 0), 0u);
    EXPECT_EQ(WindowlessDriverReason("dummy", "dummy"), "");
    EXPECT_EQ(WindowlessDriverReason("x11", nullptr), "");
    EXPECT_EQ(WindowlessDriverReason("wayland", nullptr), "");
}

TEST(FullscreenToggleKeys, AltEnterAndF11ToggleOnceAndNeitherPressNorReleaseGetsThrough)
{
    using Action = FullscreenToggleKeys::Action;
    FullscreenToggleKeys keys;
    EXPECT_EQ(keys.Filter(Key(SDL_KEYDOWN, SDLK_RETURN, SDL_SCANCODE_RETURN)), Action::Pass);
    EXPECT_EQ(keys.Filter(Key(SDL_KEYUP, SDLK_RETURN, SDL_SCANCODE_RETURN)), Action::Pass);
    EXPECT_EQ(keys.Filter(Key(SDL_KEYDOWN, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT)), Action::Pass);

    EXPECT_EQ(keys.Filter(Key(SDL_KEYDOWN, SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT)), Action::Toggle);
    EXPECT_EQ(keys.Filter(Key(SDL_KEYDOWN, SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT, 1)), Action::Swallow);
    // Alt let go before Enter: Enter's release is still the combination's.
    EXPECT_EQ(keys.Filter(Key(SDL_KEYUP, SDLK_LALT, SDL_SCANCODE_LALT)), Action::Pass);
    EXPECT_EQ(keys.Filter(Key(SDL_KEYUP, SDLK_RETURN, SDL_SCANCODE_RETURN)), Action::Swallow);
    EXPECT_EQ(keys.Filter(Key(SDL_KEYUP, SDLK_RETURN, SDL_SCANCODE_RETURN)), Action::Pass);

    EXPECT_EQ(keys.Filter(Key(SDL_KEYDOWN, SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, KMOD_RALT)), Action::Toggle);
    EXPECT_EQ(keys.Filter(Key(SDL_KEYUP, SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER)), Action::Swallow);
    EXPECT_EQ(keys.Filter(Key(SDL_KEYDOWN, SDLK_F11, SDL_SCANCODE_F11)), Action::Toggle);
    EXPECT_EQ(keys.Filter(Key(SDL_KEYUP, SDLK_F11, SDL_SCANCODE_F11)), Action::Swallow);
}

TEST(ModeSwitchFocus, AFocusLossInAModeSwitchIsDroppedIfTheFocusComesBack)
{
    const auto windowEvent = [](SDL_WindowEventID what) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = static_cast<Uint8>(what);
        return e;
    };
    const SDL_Event lost = windowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    SDL_Event due{};

    ModeSwitchFocus focus;
    EXPECT_FALSE(focus.Hold(lost, 100)) << "no mode change: the player left";

    focus.ModeChanged(1000);
    EXPECT_TRUE(focus.Hold(lost, 1100));
    EXPECT_FALSE(focus.Hold(windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED), 1200));
    EXPECT_FALSE(focus.TakeDue(5000, due)) << "the focus came back: nothing to pause for";

    focus.ModeChanged(10000);
    EXPECT_TRUE(focus.Hold(lost, 10100));
    EXPECT_FALSE(focus.TakeDue(10500, due)) << "still in the switch";
    ASSERT_TRUE(focus.TakeDue(10000 + ModeSwitchFocus::GraceMilliseconds, due));
    EXPECT_EQ(due.window.event, SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_FALSE(focus.Hold(lost, 12000)) << "after the switch a loss goes straight through";
}
