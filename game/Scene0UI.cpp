// Scene0's HUD and menus: round counter, damage border, and one centred window that serves as
// both the pause menu and the game-over menu.
#include "game/Scene0.h"

#include "game/GameMenu.h"
#include "game/actors/PlayerActor.h"

#include <SDL2/SDL.h>
#include <imgui.h>

void Scene0::DrawUI()
{
    // A pause (the window lost while he lay dead, too) shows its own menu; its Resume returns to
    // the game-over countdown where it stopped.
    if (paused) {
        DrawGameMenu();
    } else if (player->dead) {
        if (!gameOverTimer.started)
            gameOverTimer.Start();
        if (GameOverMenuDue(gameOverTimer.WholeSeconds()))
            DrawGameMenu();
    }

    ImGui::SetNextWindowPos(ImVec2(10.0f, 10.0f), ImGuiCond_Always, ImVec2(0.0f, 0.0f));
    ImGui::SetNextWindowSize(ImVec2(400.0f, 50.0f), ImGuiCond_Always);
    // A label only: it never takes the focus, so a menu (and a pad's navigation) keeps it.
    ImGui::Begin("TopLeftText2", nullptr,
                 ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove |
                     ImGuiWindowFlags_NoScrollbar | ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoBackground |
                     ImGuiWindowFlags_NoInputs | ImGuiWindowFlags_NoFocusOnAppearing);
    ImGui::SetWindowFontScale(2.5f);
    ImGui::Text("Current Round: %d", static_cast<int>(round));
    ImGui::End();

    const float thickness = DamageBorderThickness(player->health);
    if (thickness > 0.0f)
        ImGui::GetBackgroundDrawList()->AddRect(ImVec2(0.0f, 0.0f), ImGui::GetIO().DisplaySize,
                                                IM_COL32(255, 0, 0, 255), 0.0f, 0, thickness);
}

void Scene0::DrawGameMenu()
{
    // The cursor is free while a menu shows.
    SDL_SetRelativeMouseMode(SDL_FALSE);
    constexpr float Width = 300.0f, Height = 150.0f;
    ImGui::SetNextWindowPos(
        ImVec2((static_cast<float>(windowWidth) - Width) * 0.5f, (static_cast<float>(windowHeight) - Height) * 0.5f),
        ImGuiCond_Always, ImVec2(0.0f, 0.0f));
    ImGui::SetNextWindowSize(ImVec2(Width, Height), ImGuiCond_Always);
    ImGui::Begin("GAME OVER", nullptr, ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove);
    const MenuButtons menu = GameMenuButtons(paused);
    for (size_t i = 0; i < menu.count; ++i) {
        const bool pressed = ImGui::Button(menu.buttons[i].label);
        // A pad's A presses the first button (Resume, or Restart after death) at once.
        if (i == 0)
            ImGui::SetItemDefaultFocus();
        if (!pressed)
            continue;
        switch (menu.buttons[i].action) {
        case MenuAction::Resume:
            SetPaused(false);
            break;
        case MenuAction::Restart:
            restartRequested = true;
            break;
        case MenuAction::Exit:
            quitRequested = true;
            break;
        }
    }
    ImGui::End();
}
