// A UI context of the window's size for driving Scene0's HUD and menus without a renderer: frames
// are built and ended, and the menu's buttons are clicked through the UI's own input.
#pragma once

#include "game/GameMenu.h"
#include "game/Scene0.h"

#include <gtest/gtest.h>
#include <imgui.h>
#include <imgui_internal.h>

// With its font atlas built, as the renderer's frame provides.
class UiFrames {
public:
    UiFrames(float width, float height)
    {
        ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        io.DisplaySize = ImVec2(width, height);
        io.DeltaTime = 1.0f / 60.0f;
        unsigned char* pixels = nullptr;
        int w = 0, h = 0;
        io.Fonts->GetTexDataAsRGBA32(&pixels, &w, &h);
    }
    ~UiFrames() { ImGui::DestroyContext(); }
    UiFrames(const UiFrames&) = delete;
    UiFrames& operator=(const UiFrames&) = delete;

    void Frame(Scene0& scene)
    {
        ImGui::NewFrame();
        scene.DrawUI();
        backgroundVertices = ImGui::GetBackgroundDrawList()->VtxBuffer.Size;
        foregroundVertices = ImGui::GetForegroundDrawList()->VtxBuffer.Size;
        ImGui::Render();
    }

    // Presses and releases the left button over the menu's button that says `label`.
    void ClickMenuButton(Scene0& scene, const char* label)
    {
        const int i = GameMenuButtonIndex(scene.paused, label);
        ASSERT_GE(i, 0) << label;
        ImGuiWindow* menu = ImGui::FindWindowByName("GAME OVER");
        ASSERT_NE(menu, nullptr);
        const ImGuiStyle& style = ImGui::GetStyle();
        const float buttonHeight = ImGui::GetIO().Fonts->Fonts[0]->FontSize + style.FramePadding.y * 2.0f;
        ImGuiIO& io = ImGui::GetIO();
        io.MousePos = ImVec2(menu->DC.CursorStartPos.x + 4.0f,
                             menu->DC.CursorStartPos.y + static_cast<float>(i) * (buttonHeight + style.ItemSpacing.y) +
                                 buttonHeight * 0.5f);
        Frame(scene); // hover
        io.MouseDown[0] = true;
        Frame(scene);
        io.MouseDown[0] = false;
        Frame(scene); // a button fires on release
    }

    static bool Shown(const char* window)
    {
        ImGuiWindow* w = ImGui::FindWindowByName(window);
        return w && w->Active;
    }

    int backgroundVertices = 0;
    int foregroundVertices = 0;
};
