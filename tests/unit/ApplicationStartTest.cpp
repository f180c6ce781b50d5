// A start that fails part-way releases what it built, in the shutdown order, and lets the error
// reach main; a start that succeeds keeps everything until shutdown. No launcher, and SDL's dummy
// video driver: the game window cannot open and stays null, as a failed window would.
#include "app/Application.h"
#include "app/WindowInfo.h"
#include "collision/HGrid.h"
#include "game/Scene0.h"
#include "game/SoundManager.h"
#include "renderer/AssetRegistry.h"
#include "support/NullRenderer.h"
#include "support/TempDir.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::string> teardown; // what was destroyed, in order

class RecordingRenderer : public NullRenderer {
public:
    explicit RecordingRenderer(const char* initFailure) : initFailure_(initFailure) {}
    ~RecordingRenderer() override { teardown.push_back("renderer"); }
    void Init() override
    {
        if (initFailure_)
            throw std::runtime_error(initFailure_);
    }

private:
    const char* initFailure_;
};

class RecordingScene : public Scene0 {
public:
    using Scene0::Scene0;
    ~RecordingScene() override { teardown.push_back("scene"); }
};

void NoLauncher(Application&) {}

// SDL's window-less video driver for the test's scope; left to itself SDL would fall back to an
// off-screen driver that does open windows (and loads a software OpenGL to draw them).
class DummyVideo {
public:
    DummyVideo() { SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy"); }
    ~DummyVideo() { SDL_ResetHint(SDL_HINT_VIDEODRIVER); }
    DummyVideo(const DummyVideo&) = delete;
    DummyVideo& operator=(const DummyVideo&) = delete;
};

Application::RendererFactory Renderer(const char* initFailure = nullptr)
{
    return [initFailure](WindowInfo*) { return std::make_unique<RecordingRenderer>(initFailure); };
}

std::unique_ptr<Scene> BuildScene(IRenderer* renderer)
{
    return std::make_unique<RecordingScene>(renderer);
}

// The message of what the constructor threw, or "" when it did not.
std::string StartFailure(const Application::RendererFactory& renderer)
{
    DummyVideo video;
    try {
        Application app(renderer, BuildScene, NoLauncher);
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(ApplicationStart, AFailedDeviceReleasesTheRendererAndBuildsNoScene)
{
    teardown.clear();
    EXPECT_EQ(StartFailure(Renderer("failed to create logical device")), "failed to create logical device");
    EXPECT_EQ(teardown, std::vector<std::string>{"renderer"});
}

TEST(ApplicationStart, AMissingPackReleasesTheHalfBuiltSceneThenTheRenderer)
{
    teardown.clear();
    TempWorkDir empty; // no Assets.bin here
    EXPECT_EQ(StartFailure(Renderer()), "Failed to open assets file");
    // The scene never finished construction, so its destructor never ran; what it had built is
    // gone all the same, and nothing of it stays reachable.
    EXPECT_EQ(teardown, std::vector<std::string>{"renderer"});
    EXPECT_EQ(grid, nullptr);
    EXPECT_EQ(soundManager, nullptr);
    EXPECT_EQ(assetRegistry, nullptr);
}

TEST(ApplicationStart, AGoodStartKeepsItAllUntilShutdownThenSceneBeforeRenderer)
{
    teardown.clear();
    DummyVideo video;
    {
        Application app(Renderer(), BuildScene, NoLauncher);
        ASSERT_NE(app.scene, nullptr);
        EXPECT_EQ(app.window->sdlWindow, nullptr);
        EXPECT_TRUE(teardown.empty());
        EXPECT_EQ(app.window->width, 1920);
    }
    EXPECT_EQ(teardown, (std::vector<std::string>{"scene", "renderer"}));
}
