// Entry point: the launcher, the game window and the frame loop. An error that ends the game
// is printed on standard error and the process exits with code 1.
#include "app/Application.h"
#include "game/Scene0.h"
#include "renderer/VulkanRenderer.h"

#include <imgui.h>

#include <exception>
#include <new>
#include <iostream>

int main(int, char**)
{
    // Standard output stays silent for the whole run; errors still reach standard error.
    std::cout.rdbuf(nullptr);
    // The UI library's memory comes through the program's allocation operator too, so that every
    // allocation of a frame is counted.
    ImGui::SetAllocatorFunctions([](size_t size, void*) { return ::operator new(size); },
                                 [](void* memory, void*) { ::operator delete(memory); });
    try {
        Application app([](WindowInfo* window) { return new VulkanRenderer(window); },
                        [](IRenderer* renderer) { return new Scene0(renderer); });
        if (app.running)
            app.Run();
    } catch (const std::exception& e) {
        std::cerr << "Zorbulon: " << e.what() << std::endl;
        return 1;
    } catch (const char* message) {
        // The game throws some failures as bare C strings.
        std::cerr << "Zorbulon: " << message << std::endl;
        return 1;
    } catch (...) {
        std::cerr << "Zorbulon: unexpected error" << std::endl;
        return 1;
    }
    return 0;
}
