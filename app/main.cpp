// Entry point: the launcher, the game window and the frame loop. An error that ends the game
// is printed on standard error and the process exits with code 1; a command line it does not
// understand, with the usage, and code 2.
#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/FailureReport.h"
#include "app/Launcher.h"
#include "app/XdgPaths.h"
#include "game/PlayerProfile.h"
#include "game/Scene0.h"
#include "renderer/VulkanRenderer.h"

#include <imgui.h>

#include <cstdint>
#include <ctime>
#include <iostream>
#include <memory>
#include <new>

int main(int argc, char** argv)
{
    const CommandLine line = ParseCommandLine(argc, argv);
    if (!line.error.empty() || line.help) {
        if (!line.error.empty())
            std::cerr << "zorbulon: " << line.error << "\n";
        (line.help && line.error.empty() ? std::cout : std::cerr) << CommandLineUsage;
        return line.error.empty() ? 0 : 2;
    }
    // Standard output stays silent for the whole run; errors still reach standard error.
    std::cout.rdbuf(nullptr);
    // The UI library's memory comes through the program's allocation operator too, so that every
    // allocation of a frame is counted.
    ImGui::SetAllocatorFunctions([](size_t size, void*) { return ::operator new(size); },
                                 [](void* memory, void*) { ::operator delete(memory); });
    return RunReportingFailures([&line] {
        // The player's settings and records: read once, kept over restarts, written when changed.
        PlayerProfile profile(ConfigDirectory(), DataDirectory());
        // A quality on the command line becomes the player's choice, as one made in the options.
        if (line.quality)
            profile.settings.quality = *line.quality;
        const auto launch = [&profile](Application& app) {
            GameSettings& settings = profile.settings;
            app.width = settings.width;
            app.height = settings.height;
            app.windowMode = settings.windowMode;
            app.vsync = settings.vsync;
            app.launcherNote = BestRoundNote(profile.records);
            RunLauncher(app);
            settings.width = app.width;
            settings.height = app.height;
            settings.windowMode = app.windowMode;
            profile.Save();
        };
        Application app([](WindowInfo* window) { return std::make_unique<VulkanRenderer>(window); },
                        [&profile](IRenderer* renderer) {
                            return std::make_unique<Scene0>(renderer, &profile,
                                                            static_cast<uint32_t>(std::time(nullptr)));
                        },
                        launch);
        if (app.running)
            app.Run();
    });
}
