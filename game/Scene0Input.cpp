// Scene0's input: Escape pauses, W/A/S/D walk, the mouse looks, the left button shoots.
#include "game/Scene0.h"

#include "game/actors/PlayerActor.h"
#include "scene/camera/Camera.h"

#include <SDL2/SDL.h>

#include <algorithm>

void Scene0::HandleEvent(const SDL_Event* event)
{
    if (event->type == SDL_KEYDOWN && event->key.keysym.scancode == SDL_SCANCODE_ESCAPE && !player->dead) {
        paused = !paused;
        if (!paused) {
            SDL_SetRelativeMouseMode(SDL_TRUE);
        } else {
            // A key held when the menu opens must not keep him walking once it closes.
            std::fill(std::begin(player->moveKeys), std::end(player->moveKeys), false);
            return;
        }
    }
    if (paused) {
        std::fill(std::begin(player->moveKeys), std::end(player->moveKeys), false);
        return;
    }
    if (!inputEnabled || player->dead)
        return;

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
