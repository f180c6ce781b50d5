// Child process of the pack damage tests. In the directory it is given it builds the game's scene
// as the game does and runs its first frame, over a renderer without a GPU, and ends the way the
// game's main does: "Zorbulon: <message>" on standard error and exit code 1 for an error.
//
//   zorbulon_game_start_probe DIR
#include "app/FailureReport.h"
#include "game/Scene0.h"
#include "support/NullRenderer.h"

#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 2 || chdir(argv[1]) != 0)
        return 2;
    // Reported exactly as the game's main reports it.
    return RunReportingFailures([] {
        NullRenderer renderer;
        Scene0 scene(&renderer);
        scene.windowWidth = renderer.window.width;
        scene.windowHeight = renderer.window.height;
        // The game's first frame counts from tick zero, past the launcher: its clamp, 0.1 s.
        scene.Update(0.1f);
        scene.Render();
    });
}
