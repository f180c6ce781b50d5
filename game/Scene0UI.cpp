// Scene0's HUD and menus: round counter, damage border, crosshair, one centred window that serves
// as both the pause menu and the game-over menu, and the options panel.
#include "game/Scene0.h"

#include "game/Crosshair.h"
#include "game/GameMenu.h"
#include "game/PlayerProfile.h"
#include "game/actors/PlayerActor.h"
#include "scene/camera/Camera.h"

#include <SDL2/SDL.h>
#include <imgui.h>

void Scene0::DrawUI()
{
    // A pause (the window lost while he lay dead, too) shows its own menu; its Resume returns to
    // the game-over countdown where it stopped.
    if (paused) {
        DrawGameMenu();
    } else if (player->dead) {
        if (!gameOverTimer.started) {
            gameOverTimer.Start();
            SaveProfile(); // the round he reached is a record now
        }
        if (GameOverMenuDue(gameOverTimer.WholeSeconds()))
            DrawGameMenu();
    } else {
        DrawCrosshair();
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

void Scene0::DrawCrosshair()
{
    if (!profile_->settings.crosshair)
        return;
    // Where the bubble will be a few metres out: it leaves the gun, not the eye, along the view.
    const glm::vec3 aim = player->GunPosition() + camera->Forward() * CrosshairAimDistance;
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    glm::vec2 point;
    if (CrosshairPoint(camera->projection * camera->GetViewMatrix(), aim, glm::vec2(display.x, display.y), point))
        DrawCrosshairAt(*ImGui::GetForegroundDrawList(), ImVec2(point.x, point.y));
}

void Scene0::DrawOptions()
{
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    switch (options_.Draw(profile_->settings, display.x, display.y)) {
    case OptionsPanel::Result::Changed:
        ApplySettings();
        profileDirty_ = true;
        break;
    case OptionsPanel::Result::Back:
        options_.Close();
        SaveProfile();
        break;
    case OptionsPanel::Result::None:
        break;
    }
}

void Scene0::DrawRoundSummary()
{
    const uint32_t best = profile_->records.bestRound;
    ImGui::Text("Round reached: %d", static_cast<int>(round));
    if (round > bestRoundBefore_)
        ImGui::Text("A new best round!");
    else
        ImGui::Text("Best round: %u", best);
}

void Scene0::DrawGameMenu()
{
    // The cursor is free while a menu shows.
    SDL_SetRelativeMouseMode(SDL_FALSE);
    if (options_.IsOpen()) {
        DrawOptions();
        return;
    }
    constexpr float Width = 300.0f, Height = 150.0f;
    // Centred in the UI's own coordinates, which follow the window as it is resized.
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    ImGui::SetNextWindowPos(ImVec2((display.x - Width) * 0.5f, (display.y - Height) * 0.5f), ImGuiCond_Always,
                            ImVec2(0.0f, 0.0f));
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
        case MenuAction::Options:
            options_.Open(profile_->settings);
            break;
        case MenuAction::Restart:
            restartRequested = true;
            break;
        case MenuAction::Exit:
            quitRequested = true;
            break;
        }
    }
    if (!paused)
        DrawRoundSummary();
    ImGui::End();
}
