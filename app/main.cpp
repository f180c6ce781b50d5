// Entry point: the launcher, the game window and the frame loop. An error that ends the game
// is printed on standard error and the process exits with code 1.
#include "app/Application.h"
#include "app/FailureReport.h"
#include "game/Scene0.h"
#include "renderer/VulkanRenderer.h"

#include <imgui.h>

#include <iostream>
#include <new>

int main(int, char**)
{
    // Standard output stays silent for the whole run; errors still reach standard error.
    std::cout.rdbuf(nullptr);
    // The UI library's memory comes through the program's allocation operator too, so that every
    // allocation of a frame is counted.
    ImGui::SetAllocatorFunctions([](size_t size, void*) { return ::operator new(size); },
                                 [](void* memory, void*) { ::operator delete(memory); });
    return RunReportingFailures([] {
        Application app([](WindowInfo* window) { return new VulkanRenderer(window); },
                        [](IRenderer* renderer) { return new Scene0(renderer); });
        if (app.running)
            app.Run();
    });
}
