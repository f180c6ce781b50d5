// Scene0's input: Escape pauses, W/A/S/D walk, the mouse looks, the left button shoots; on a game
// controller Start pauses, the left stick walks, the right stick looks and the right trigger
// shoots. Losing the window (focus, minimised, hidden) pauses.
#include "game/Scene0.h"

#include "app/IRenderer.h"
#include "app/WindowInfo.h"
#include "game/SoundManager.h"
#include "game/actors/PlayerActor.h"
#include "scene/camera/Camera.h"

#include <SDL2/SDL.h>

#include <algorithm>

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
}

void Scene0::HandleEvent(const SDL_Event* event)
{
    // The pad follows every event, paused or not, so that its sticks read true on resume.
    const Gamepad::Action padAction = gamepad.HandleEvent(*event);
    // No frame of play passes unseen: the game waits behind its pause menu until he resumes.
    if (LosesTheWindow(*event, GameWindowId())) {
        SetPaused(true);
        return;
    }
    // Key auto-repeat would toggle the menu on and off while Escape is held.
    const bool escape =
        event->type == SDL_KEYDOWN && event->key.keysym.scancode == SDL_SCANCODE_ESCAPE && !event->key.repeat;
    if ((escape || padAction == Gamepad::Action::Pause) && !player->dead) {
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

    switch (event->type) {
    case SDL_MOUSEMOTION:
        camera->ApplyMouseMotion(event->motion.xrel, event->motion.yrel);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const bool down = event->type == SDL_KEYDOWN;
        switch (event->key.keysym.scancode) {
        case SDL_SCANCODE_W:
            player->moveKeys[PlayerActor::Forward] = down;
            break;
        case SDL_SCANCODE_A:
            player->moveKeys[PlayerActor::Left] = down;
            break;
        case SDL_SCANCODE_S:
            player->moveKeys[PlayerActor::Back] = down;
            break;
        case SDL_SCANCODE_D:
            player->moveKeys[PlayerActor::Right] = down;
            break;
        default:
            break;
        }
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
        if (event->button.button == SDL_BUTTON_LEFT)
            player->Shoot();
        break;
    default:
        break;
    }
}
