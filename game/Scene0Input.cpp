// Scene0's input through the player's bindings (by default Escape pauses, W/A/S/D walk by their
// position on the keyboard, the left button shoots), the mouse looks; on a game controller Start
// pauses, the left stick walks, the right stick looks and the right trigger shoots. Losing the
// window (focus, minimised, hidden) pauses.
#include "game/Scene0.h"

#include "app/IRenderer.h"
#include "app/WindowInfo.h"
#include "game/InputMap.h"
#include "game/PlayerProfile.h"
#include "game/SoundManager.h"
#include "game/actors/PlayerActor.h"
#include "scene/camera/Camera.h"

#include <SDL2/SDL.h>

#include <algorithm>

static_assert(static_cast<int>(InputAction::Forward) == PlayerActor::Forward &&
              static_cast<int>(InputAction::Left) == PlayerActor::Left &&
              static_cast<int>(InputAction::Back) == PlayerActor::Back &&
              static_cast<int>(InputAction::Right) == PlayerActor::Right);

namespace {

// The player can no longer see or steer the game. Only the game's own window counts: the
// launcher's window, closed just before, may still send its last events.
bool LosesTheWindow(const SDL_Event& event, uint32_t gameWindowId)
{
    if (event.type != SDL_WINDOWEVENT || event.window.windowID != gameWindowId)
        return false;
    const uint8_t what = event.window.event;
    return what == SDL_WINDOWEVENT_FOCUS_LOST || what == SDL_WINDOWEVENT_MINIMIZED || what == SDL_WINDOWEVENT_HIDDEN;
}

} // namespace

uint32_t Scene0::GameWindowId() const
{
    // No SDL window (a renderer without one) has the id 0, as SDL gives events of no window.
    const WindowInfo* window = renderer ? renderer->windowInfo : nullptr;
    return window && window->sdlWindow ? SDL_GetWindowID(window->sdlWindow) : 0;
}

void Scene0::SetPaused(bool pause)
{
    if (pause == paused)
        return;
    paused = pause;
    // A key held when the menu opens must not keep him walking once it closes.
    std::fill(std::begin(player->moveKeys), std::end(player->moveKeys), false);
    if (soundManager)
        soundManager->SetPaused(pause);
    SDL_SetRelativeMouseMode(pause ? SDL_FALSE : SDL_TRUE);
    if (pause) {
        SaveProfile(); // the records of the game so far survive a crash behind the menu
    } else {
        options_.Close();
    }
}

InputAction Scene0::BoundAction(const SDL_Event& event) const
{
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        return ActionForKey(profile_->settings, event.key.keysym.scancode);
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return ActionForMouse(profile_->settings, event.button.button);
    default:
        return InputAction::Count;
    }
}

void Scene0::HandleEvent(const SDL_Event* event)
{
    // The pad follows every event, paused or not, so that its sticks read true on resume.
    const Gamepad::Action padAction = gamepad.HandleEvent(*event);
    // A new binding takes the next key or button, whatever it is bound to now.
    if (options_.Capturing()) {
        options_.Capture(*event, profile_->settings, padAction == Gamepad::Action::Pause);
        return;
    }
    // No frame of play passes unseen: the game waits behind its pause menu until he resumes.
    if (LosesTheWindow(*event, GameWindowId())) {
        SetPaused(true);
        return;
    }
    const InputAction action = BoundAction(*event);
    // Key auto-repeat would toggle the menu on and off while the key is held.
    const bool pressed = (event->type == SDL_KEYDOWN && !event->key.repeat) || event->type == SDL_MOUSEBUTTONDOWN;
    const bool escape =
        event->type == SDL_KEYDOWN && event->key.keysym.scancode == SDL_SCANCODE_ESCAPE && !event->key.repeat;
    const bool pausePressed = (pressed && action == InputAction::Pause) || padAction == Gamepad::Action::Pause;
    // Escape leaves the options for the pause menu, whatever pause is bound to.
    if (options_.IsOpen() && (pausePressed || escape)) {
        options_.Close();
        SaveProfile();
        return;
    }
    if (pausePressed && !player->dead) {
        SetPaused(!paused);
        if (paused)
            return;
    }
    if (paused) {
        std::fill(std::begin(player->moveKeys), std::end(player->moveKeys), false);
        return;
    }
    if (!inputEnabled || player->dead)
        return;
    if (padAction == Gamepad::Action::Fire) {
        player->Shoot();
        return;
    }

    if (event->type == SDL_MOUSEMOTION) {
        camera->ApplyMouseMotion(event->motion.xrel, event->motion.yrel);
        return;
    }
    const bool down = event->type == SDL_KEYDOWN || event->type == SDL_MOUSEBUTTONDOWN;
    switch (action) {
    case InputAction::Forward:
    case InputAction::Left:
    case InputAction::Back:
    case InputAction::Right:
        // The walk actions are PlayerActor's key slots, in the same order.
        player->moveKeys[static_cast<int>(action)] = down;
        break;
    case InputAction::Fire:
        if (pressed)
            player->Shoot();
        break;
    default:
        break;
    }
}
