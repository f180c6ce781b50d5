// Renders the game's scene through the real VulkanRenderer into an SDL window (run under Xvfb
// on lavapipe with validation on, by run_renderer_frames.sh): the picture shows the sky above lit
// geometry; scene restarts (without the process growing), resizing, hiding the window and the
// pause menu keep working. Each case has its own scene on the shared window and renderer. The
// game runs on manual time, so no zombie reaches the player while the test looks. The script
// fails the run on any validation message, including the leak report at device destruction.
#include "app/GameClock.h"
#include "app/GpuContext.h"
#include "assets/AssetPack.h"
#include "assets/Texture.h"
#include "collision/HGrid.h"
#include "game/GameMenu.h"
#include "game/Scene0.h"
#include "renderer/AssetRegistry.h"
#include "renderer/UniformRecords.h"
#include "renderer/VulkanRenderer.h"
#include "renderer/shader/ShaderComponent.h"
#include "scene/actors/Actor.h"
#include "scene/camera/Camera.h"

#include <SDL2/SDL.h>
#include <backends/imgui_impl_sdl.h>
#include <gtest/gtest.h>
#include <imgui.h>
#include <imgui_internal.h>
#include <malloc.h>
#include <stb_image.h>

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr int WindowWidth = 1280;
constexpr int WindowHeight = 720;
constexpr float FrameSeconds = 1.0f / 30.0f;

// Process-wide: one window and one renderer (device bring-up is the slow part on lavapipe). Every
// case leaves them as it found them; the scene is each case's own.
WindowInfo window;
VulkanRenderer* renderer = nullptr;
std::filesystem::path shotDir; // a fresh temporary directory for the screenshots
bool surfaceLost = false;      // the surface's capabilities query fails as for a lost surface

struct Rgb {
    double r = 0, g = 0, b = 0;
    double Luminance() const { return 0.2126 * r + 0.7152 * g + 0.0722 * b; }
    double DistanceTo(const Rgb& o) const { return std::abs(r - o.r) + std::abs(g - o.g) + std::abs(b - o.b); }
};

struct Image {
    int width = 0, height = 0;
    std::string pixels; // RGB, 8 bits each

    Rgb At(int x, int y) const
    {
        const size_t i = (size_t(y) * width + x) * 3;
        return {double(uint8_t(pixels[i])), double(uint8_t(pixels[i + 1])), double(uint8_t(pixels[i + 2]))};
    }
    // Mean colour of the rectangle given in fractions of the image.
    Rgb Mean(double x0, double y0, double x1, double y1) const
    {
        Rgb sum;
        int n = 0;
        for (int y = int(y0 * height); y < int(y1 * height); ++y)
            for (int x = int(x0 * width); x < int(x1 * width); ++x, ++n) {
                const Rgb c = At(x, y);
                sum.r += c.r, sum.g += c.g, sum.b += c.b;
            }
        return {sum.r / n, sum.g / n, sum.b / n};
    }
    // Mean absolute difference of all channels from another image of the same size, in 8-bit steps.
    double MeanDifference(const Image& other) const
    {
        if (other.width != width || other.height != height)
            return 255.0;
        double sum = 0;
        for (size_t i = 0; i < pixels.size(); ++i)
            sum += std::abs(int(uint8_t(pixels[i])) - int(uint8_t(other.pixels[i])));
        return sum / double(pixels.size());
    }
    // Largest difference of any channel of any pixel from another image of the same size, in 8-bit steps.
    int MaxDifference(const Image& other) const
    {
        if (other.width != width || other.height != height)
            return 255;
        int largest = 0;
        for (size_t i = 0; i < pixels.size(); ++i)
            largest = std::max(largest, std::abs(int(uint8_t(pixels[i])) - int(uint8_t(other.pixels[i]))));
        return largest;
    }
    double LuminanceDeviation() const
    {
        double sum = 0, squares = 0;
        const int n = width * height;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const double l = At(x, y).Luminance();
                sum += l, squares += l * l;
            }
        const double mean = sum / n;
        return std::sqrt(std::max(0.0, squares / n - mean * mean));
    }
};

// What the window shows, read back from the X server.
Image Screenshot()
{
    EXPECT_EQ(vkDeviceWaitIdle(gpu.device), VK_SUCCESS);
    const std::string path = (shotDir / "frame.ppm").string();
    // The private X server holds this one window, found by its title.
    const std::string command = "import -window Zorbulon -depth 8 ppm:" + path;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    // For a look at what was checked: ZORBULON_FRAME_DIR keeps a copy of every screenshot.
    static int shots = 0;
    if (const char* keep = std::getenv("ZORBULON_FRAME_DIR"))
        std::filesystem::copy_file(path, std::filesystem::path(keep) / ("frame" + std::to_string(shots++) + ".ppm"),
                                   std::filesystem::copy_options::overwrite_existing);

    Image image;
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    in >> magic >> image.width >> image.height >> maxValue;
    in.get();
    image.pixels.resize(size_t(image.width) * image.height * 3);
    in.read(image.pixels.data(), std::streamsize(image.pixels.size()));
    EXPECT_EQ(magic, "P6");
    EXPECT_EQ(maxValue, 255);
    return image;
}

// Mean colour of the upper halves of the four side faces of the sky in the pack: what the top
// of a frame looking level at the horizon shows.
Rgb ExpectedSkyColour()
{
    Rgb sum;
    int n = 0;
    for (const char* face : {"SkyBoxpx", "SkyBoxnx", "SkyBoxpz", "SkyBoxnz"}) {
        const std::vector<char> bytes = LoadAsset(face);
        int w = 0, h = 0, channels = 0;
        stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), int(bytes.size()), &w,
                                                &h, &channels, 3);
        for (int y = 0; y < h / 2; ++y)
            for (int x = 0; x < w; ++x, ++n) {
                const stbi_uc* p = pixels + (size_t(y) * w + x) * 3;
                sum.r += p[0], sum.g += p[1], sum.b += p[2];
            }
        stbi_image_free(pixels);
    }
    return {sum.r / n, sum.g / n, sum.b / n};
}

void ExpectSkyAboveLitGeometry(const Image& image)
{
    ASSERT_GT(image.width, 0);
    EXPECT_GT(image.LuminanceDeviation(), 10.0) << "the frame is one flat colour";
    // The band below the round counter and well above the walls: the player looks level.
    const Rgb top = image.Mean(0.0, 0.12, 1.0, 0.3);
    const Rgb sky = ExpectedSkyColour();
    EXPECT_LT(top.DistanceTo(sky), 60.0) << "top " << top.r << "," << top.g << "," << top.b << " sky " << sky.r << ","
                                         << sky.g << "," << sky.b;
    const Rgb bottom = image.Mean(0.3, 0.8, 0.7, 1.0);
    EXPECT_GT(bottom.DistanceTo(sky), 40.0) << "no geometry below the sky";
    EXPECT_GT(bottom.Luminance(), 8.0) << "the geometry below is unlit";
}

SDL_Event Escape()
{
    SDL_Event escape{};
    escape.type = SDL_KEYDOWN;
    escape.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    return escape;
}

// This process's resident set in KiB (VmRSS of /proc/self/status), -1 where there is none. The
// heap first hands its free pages back (malloc_trim): what is left is what the process holds,
// not where a freed scene's blocks happened to leave holes.
long ResidentKiB()
{
    malloc_trim(0);
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

bool SwapChainIs(int width, int height)
{
    return gpu.swapChainExtent.width == uint32_t(width) && gpu.swapChainExtent.height == uint32_t(height);
}

// Each case starts from what a scene restart leaves: the window shown at its size with input
// focus, game time at its start, the renderer's frame resources made, and a fresh Scene0. It
// ends the way the application replaces a scene, with the window put back as it was.
class RendererFrames : public ::testing::Test {
protected:
    void SetUp() override
    {
        FocusWindow();
        GameClock::Reset();
        scene = NewScene();
    }

    void TearDown() override
    {
        RestoreWindow();
        scene.reset(); // releases the frame resources
        renderer->RecreateFrameResources();
    }

    std::unique_ptr<Scene0> NewScene() const
    {
        auto built = std::make_unique<Scene0>(renderer);
        // The documented pictures are the full-size ones.
        built->Settings().quality = RenderQuality::High;
        built->ApplySettings();
        built->windowWidth = window.width;
        built->windowHeight = window.height;
        return built;
    }

    void PumpEvents()
    {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            ImGui_ImplSDL2_ProcessEvent(&event); // as the application does: the menus see every event
            if (event.type != SDL_QUIT && scene)
                scene->HandleEvent(&event);
        }
    }

    void RenderFrames(int count)
    {
        for (int i = 0; i < count; ++i) {
            PumpEvents();
            scene->Update(FrameSeconds);
            scene->Render();
        }
    }

    // Renders until the swap chain has the size (a resize reaches it through window events).
    void RenderUntilSwapChainIs(int width, int height)
    {
        for (int i = 0; i < 30 && !SwapChainIs(width, height); ++i) {
            SDL_Delay(10);
            RenderFrames(1);
        }
    }

    // Opens the pause menu the way the player does, from a running game.
    void OpenPauseMenu()
    {
        scene->SetPaused(false);
        const SDL_Event escape = Escape();
        scene->HandleEvent(&escape);
    }

    // Clicks the pause menu's button that says `label` through the X server, then renders until
    // `done` holds (20 frames at most).
    void ClickMenuButton(const char* label, const std::function<bool()>& done)
    {
        const int n = GameMenuButtonIndex(true, label);
        ASSERT_GE(n, 0) << label;
        ImGuiWindow* menu = ImGui::FindWindowByName("GAME OVER");
        ASSERT_NE(menu, nullptr);
        const ImGuiStyle& style = ImGui::GetStyle();
        const float row = ImGui::GetFontSize() + style.FramePadding.y * 2.0f;
        const int x = int(menu->Pos.x + style.WindowPadding.x + 12.0f);
        const int y = int(menu->Pos.y + row + style.WindowPadding.y + row * 0.5f + n * (row + style.ItemSpacing.y));
        const std::string command = "xdotool search --name '^Zorbulon$' windowfocus --sync mousemove --window %1 " +
                                    std::to_string(x) + " " + std::to_string(y) + " sleep 0.2 click 1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        for (int i = 0; i < 20 && !done(); ++i) {
            SDL_Delay(20);
            RenderFrames(1);
        }
    }

    std::unique_ptr<Scene0> scene;

private:
    // Window events of an earlier case (a focus lost when it hid the window) are delivered before
    // this case's scene exists: the window gets the focus and the events are drained until SDL
    // reports it.
    void FocusWindow()
    {
        SDL_SetWindowInputFocus(window.sdlWindow);
        for (int i = 0; i < 300 && !(SDL_GetWindowFlags(window.sdlWindow) & SDL_WINDOW_INPUT_FOCUS); ++i) {
            SDL_Delay(10);
            PumpEvents();
        }
        PumpEvents();
    }

    void RestoreWindow()
    {
        if (SDL_GetWindowFlags(window.sdlWindow) & SDL_WINDOW_HIDDEN)
            SDL_ShowWindow(window.sdlWindow);
        int width = 0, height = 0;
        SDL_GetWindowSize(window.sdlWindow, &width, &height);
        if (width != WindowWidth || height != WindowHeight)
            SDL_SetWindowSize(window.sdlWindow, WindowWidth, WindowHeight);
        if (scene)
            RenderUntilSwapChainIs(WindowWidth, WindowHeight);
        EXPECT_TRUE(SwapChainIs(WindowWidth, WindowHeight)) << "the window was not put back";
    }
};

} // namespace

// The test binary defines this entry point, so the engine's calls reach it ahead of the loader's;
// it forwards to the loader's own (the next definition) unless the surface is to read as lost.
extern "C" VKAPI_ATTR VkResult VKAPI_CALL vkGetPhysicalDeviceSurfaceCapabilitiesKHR(
    VkPhysicalDevice device, VkSurfaceKHR surface, VkSurfaceCapabilitiesKHR* capabilities)
{
    if (surfaceLost)
        return VK_ERROR_SURFACE_LOST_KHR;
    static const auto next = reinterpret_cast<PFN_vkGetPhysicalDeviceSurfaceCapabilitiesKHR>(
        dlsym(RTLD_NEXT, "vkGetPhysicalDeviceSurfaceCapabilitiesKHR"));
    return next(device, surface, capabilities);
}

TEST_F(RendererFrames, BringsUpTheDeviceForTheWindow)
{
    EXPECT_NE(gpu.device, VK_NULL_HANDLE);
    EXPECT_NE(gpu.renderPass, VK_NULL_HANDLE);
    EXPECT_NE(gpu.commandPool, VK_NULL_HANDLE);
    EXPECT_EQ(gpu.swapChainImageFormat, VK_FORMAT_B8G8R8A8_UNORM);
    EXPECT_EQ(gpu.swapChainExtent.width, uint32_t(WindowWidth));
    EXPECT_EQ(gpu.swapChainExtent.height, uint32_t(WindowHeight));
    EXPECT_GT(gpu.minUniformBufferOffsetAlignment, 0u);
    EXPECT_EQ(renderer->SwapChain().framebuffers.size(), renderer->SwapChain().images.size());
}

TEST_F(RendererFrames, SceneBuildsEveryShaderAndSizesItsBuffers)
{
    for (const char* name :
         {"SkyBoxShader", "BaseShader", "PBRShader", "AnimPBRShader", "CollisionShader", "BillBoardPBRShader"}) {
        auto shader = assetRegistry->GetShader(name, true);
        ASSERT_TRUE(shader) << name;
        EXPECT_NE(shader->pipeline, VK_NULL_HANDLE) << name;
        EXPECT_EQ(shader->descriptorSets.size(), size_t(MaxFramesInFlight)) << name;
    }
    EXPECT_EQ(assetRegistry->textureNames.back(), "SkyBox");
    EXPECT_NE(assetRegistry->GetTexture("SkyBox")->faceView, VK_NULL_HANDLE);
    // Every per-object buffer holds one record per actor that uses it.
    std::unordered_map<std::string, uint32_t> dynamicCounts, storageCounts;
    for (const std::vector<Actor*>* list : {&scene->actors, &scene->transparentActors})
        for (const Actor* actor : *list) {
            const auto shader = actor->GetComponent<ShaderComponent>();
            ASSERT_TRUE(shader);
            if (shader->hasDynamicBlock)
                ++dynamicCounts[shader->dynamicBlockName];
            if (shader->hasStorageBlock)
                ++storageCounts[shader->storageBlockName];
        }
    for (const char* block : {"DYN_BaseShader", "DYN_PBRShader", "DYN_BillBoardPBRShader", "DYN_AnimPBRShader"}) {
        const UniformBufferFrame& frame = renderer->GetUniformBufferFrames(block)[0];
        ASSERT_GE(dynamicCounts[block], 1u) << block;
        EXPECT_EQ(frame.size, VkDeviceSize(dynamicCounts[block]) * frame.stride) << block;
        EXPECT_EQ(frame.stride % gpu.minUniformBufferOffsetAlignment, 0u) << block;
    }
    // The player and the whole zombie pool take one packed storage record each.
    EXPECT_EQ(storageCounts["SSBO_AnimPBRShader"], uint32_t(1 + ZombiePoolSize));
    EXPECT_EQ(renderer->GetUniformBufferFrames("SSBO_AnimPBRShader")[0].size,
              VkDeviceSize(storageCounts["SSBO_AnimPBRShader"]) * sizeof(AnimStorageRecord));
    EXPECT_EQ(renderer->GetUniformBufferFrames("CameraBuffer")[1].size, 144u);
    EXPECT_EQ(renderer->GetUniformBuffer("PointLightsBuffer").size, 800u);
}

// The images decode on several threads at once; the textures still take their indices in the
// scene's fixed order, each from its own image (a mix-up shows in a level count).
TEST_F(RendererFrames, SceneRegistersItsTexturesInTheirFixedOrder)
{
    const std::vector<std::string> order = {
        "GroundTexture", "GroundNormalTexture", "GrassDiffuseTexture", "GrassNormalTexture", "GrassAlphaTexture",
        "MoonTexture",   "DrevikDiff",          "DrevikNormal",        "ZombieDiff",         "ZombieSpec",
        "ZombieNormal",  "BubblgunDiffuse",     "BubblgunNormal",      "SkyBox"};
    ASSERT_EQ(assetRegistry->textureNames, order);
    EXPECT_EQ(assetRegistry->textureCount, order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        const auto texture = assetRegistry->GetTexture(order[i]);
        EXPECT_EQ(texture->textureIndex, i) << order[i];
        EXPECT_NE(texture->view, VK_NULL_HANDLE) << order[i];
        if (order[i] == "SkyBox")
            continue;
        const std::vector<char> bytes = LoadAsset(order[i].c_str());
        int width = 0, height = 0, channels = 0;
        ASSERT_TRUE(stbi_info_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), int(bytes.size()), &width,
                                          &height, &channels))
            << order[i];
        EXPECT_EQ(texture->mipLevels, MipLevelCount(uint32_t(width), uint32_t(height))) << order[i];
    }
}

TEST_F(RendererFrames, FramesShowTheSkyAboveLitGeometry)
{
    const uint64_t before = renderer->PresentedFrames();
    RenderFrames(6);
    EXPECT_EQ(renderer->PresentedFrames(), before + 6);
    ExpectSkyAboveLitGeometry(Screenshot());
}

// A restart takes the textures the last scene made from pack images that did not change, instead
// of uploading them and building their mip chains again, and the fresh scene draws with them.
TEST_F(RendererFrames, ARestartTakesTheLastScenesTexturesAndDrawsWithThem)
{
    RenderFrames(MaxFramesInFlight);
    const std::unordered_map<std::string, std::shared_ptr<Texture>> before = assetRegistry->textures;
    ASSERT_EQ(before.size(), 14u); // thirteen 2D textures and the sky's cube map

    scene.reset();
    renderer->RecreateFrameResources();
    scene = NewScene();
    ASSERT_EQ(assetRegistry->textures.size(), before.size());
    for (const auto& [name, texture] : assetRegistry->textures) {
        ASSERT_EQ(before.count(name), 1u) << name;
        EXPECT_EQ(texture, before.at(name)) << name << " was made again";
    }
    RenderFrames(6);
    ExpectSkyAboveLitGeometry(Screenshot());
}

// The game's recording order (the sky after the opaque passes, at the far plane behind them by the
// depth test; each opaque pass front to back) leaves the picture of the documented order (the sky
// first, every pass in list order): the same frame (no update between) shot each way differs by
// at most one 8-bit step on average. Without the sky the shot differs plainly, so the shots do
// show what each order drew. The shots are drawn at full size, so the scene image reaches the
// window through the plain copy: the same with either upscale filter chosen, to the bit.
TEST_F(RendererFrames, ReorderedRecordingLeavesThePictureOfTheDocumentedOrder)
{
    RenderFrames(6);
    const FrameRecordingOptions game = renderer->RecordingOptions();
    EXPECT_TRUE(game.skyBoxLast);
    EXPECT_TRUE(game.opaqueFrontToBack);
    auto shot = [&](bool skyLast, bool frontToBack, uint32_t passes) {
        FrameRecordingOptions options = game;
        options.skyBoxLast = skyLast;
        options.opaqueFrontToBack = frontToBack;
        options.passes = passes;
        renderer->SetRecordingOptions(options);
        for (uint32_t i = 0; i < MaxFramesInFlight + 1; ++i) // every frame in flight drawn this way
            scene->Render();
        return Screenshot();
    };
    const Image documented = shot(false, false, game.passes);
    EXPECT_EQ(renderer->RenderScale(), 1.0f);
    window.upscaleFilter = UpscaleFilter::Bilinear;
    const Image documentedBilinear = shot(false, false, game.passes);
    window.upscaleFilter = UpscaleFilter::Sharpened;
    const Image skyLast = shot(true, false, game.passes);
    const Image frontToBack = shot(false, true, game.passes);
    const Image both = shot(true, true, game.passes);
    const Image withoutSky = shot(true, true, game.passes & ~FramePassSkyBox);
    renderer->SetRecordingOptions(game);

    ASSERT_GT(documented.width, 0);
    std::printf("mean difference from the documented order, 8-bit steps: sky last %.4f, front to back %.4f, "
                "both %.4f; without the sky %.2f\n",
                documented.MeanDifference(skyLast), documented.MeanDifference(frontToBack),
                documented.MeanDifference(both), documented.MeanDifference(withoutSky));
    EXPECT_EQ(documented.MaxDifference(documentedBilinear), 0) << "the full-size frame is filtered, not copied";
    EXPECT_LE(documented.MeanDifference(skyLast), 1.0);
    EXPECT_LE(documented.MeanDifference(frontToBack), 1.0);
    EXPECT_LE(documented.MeanDifference(both), 1.0);
    EXPECT_GT(documented.MeanDifference(withoutSky), 5.0) << "the sky is not in the shot";
    ExpectSkyAboveLitGeometry(both);
}

namespace {

// The picture with each draw's own point lights against every light on every draw: the lights
// left off a draw add under half an 8-bit step each, so the frames differ by rounding at most.
void ExpectListsKeepThePicture(const Image& lists, const Image& every, const char* lights)
{
    ASSERT_GT(lists.width, 0);
    std::printf("%s: lists against every light, mean %.4f, largest %d 8-bit steps\n", lights,
                lists.MeanDifference(every), lists.MaxDifference(every));
    EXPECT_LE(lists.MeanDifference(every), 1.0) << lights;
    EXPECT_LE(lists.MaxDifference(every), 4) << lights;
}

} // namespace

TEST_F(RendererFrames, PointLightListsKeepThePictureOfEveryLightOnEveryDraw)
{
    RenderFrames(6);
    const FrameRecordingOptions game = renderer->RecordingOptions();
    ASSERT_TRUE(game.pointLightLists);
    auto shot = [&](bool lists) {
        FrameRecordingOptions options = game;
        options.pointLightLists = lists;
        renderer->SetRecordingOptions(options);
        for (uint32_t i = 0; i < MaxFramesInFlight + 1; ++i) // every frame in flight drawn this way
            scene->Render();
        return std::make_pair(Screenshot(), renderer->DrawLists().PointLightStats());
    };
    // The arena's lights carry past its far corners: every draw keeps them all.
    const auto [arenaLists, arenaStats] = shot(true);
    ExpectListsKeepThePicture(arenaLists, shot(false).first, "the arena's lights");
    EXPECT_GT(arenaStats.items, 100u);

    // Lights that fade within a few metres leave most draws a short list, and the same picture.
    for (PointLight& light : scene->pointLights)
        light.quadratic = 400.0f; // reach about 1.6 m on a matte surface at the brightest colour
    const auto [shortLists, shortStats] = shot(true);
    std::printf("short reach: mean %.2f lights a draw, longest %u\n", double(shortStats.lights) / shortStats.items,
                shortStats.longest);
    // Not shorter still: glossy grass and walls glint under lights that a matte surface would not show.
    EXPECT_LT(shortStats.lights, shortStats.items * MaxPointLights * 3 / 4) << "the lists do not shorten";
    ExpectListsKeepThePicture(shortLists, shot(false).first, "short-reach lights");
    renderer->SetRecordingOptions(game);
}

TEST_F(RendererFrames, ALightMovedOntoTheGroundLightsItTheSameFrame)
{
    RenderFrames(6);
    // Every light parked far outside every draw's bounds, so no list holds any, and dark but
    // light 0, so the moonlit ground shows what it adds.
    for (PointLight& parked : scene->pointLights) {
        parked.position = glm::vec4(5000.0f, 2.0f, 5000.0f, 1.0f);
        parked.colour = parked.ambient = glm::vec4(0.0f);
    }
    PointLight& light = scene->pointLights[0];
    light.colour = glm::vec4(2.0f, 2.0f, 2.0f, 1.0f);
    for (uint32_t i = 0; i < MaxFramesInFlight + 1; ++i)
        scene->Render();
    ASSERT_LT(renderer->DrawLists().PointLightStats().lights,
              renderer->DrawLists().PointLightStats().items * MaxPointLights);
    const Image before = Screenshot();

    // Moved to 0.3 m over the ground 5 m ahead of the camera; the picture of the very next frame.
    const Camera& camera = *scene->camera;
    const glm::mat4 view = camera.GetViewMatrix();
    const glm::vec3 forward = -glm::vec3(view[0][2], view[1][2], view[2][2]);
    glm::vec3 ground = camera.GetPosition() + 5.0f * glm::normalize(glm::vec3(forward.x, 0.0f, forward.z));
    ground.y = 0.0f;
    light.position = glm::vec4(ground + glm::vec3(0.0f, 0.3f, 0.0f), 1.0f);
    scene->Render();
    const Image after = Screenshot();

    const glm::vec4 clip = camera.projection * view * glm::vec4(ground, 1.0f);
    const double x = (clip.x / clip.w + 1.0) * 0.5, y = (clip.y / clip.w + 1.0) * 0.5;
    ASSERT_TRUE(x > 0.05 && x < 0.95 && y > 0.05 && y < 0.95) << x << ", " << y;
    // The wet ground between the light and the eye: its glint runs from the light towards the camera.
    const double lit = after.Mean(x - 0.03, y, x + 0.03, y + 0.1).Luminance();
    const double dark = before.Mean(x - 0.03, y, x + 0.03, y + 0.1).Luminance();
    std::printf("the ground before the light at %.2f, %.2f: luminance %.1f, then %.1f\n", x, y, dark, lit);
    EXPECT_GT(lit, dark + 20.0) << "the ground under the light stays dark";

    // And just as bright as with every light on every draw.
    FrameRecordingOptions every = renderer->RecordingOptions();
    every.pointLightLists = false;
    renderer->SetRecordingOptions(every);
    for (uint32_t i = 0; i < MaxFramesInFlight + 1; ++i)
        scene->Render();
    ExpectListsKeepThePicture(after, Screenshot(), "a moved light");
    every.pointLightLists = true;
    renderer->SetRecordingOptions(every);
}

// The same game state drawn at full size and at half size: the UI is drawn after the upscale, at
// the window's resolution, so the HUD's pixels are the same image at both scales (drawn alone:
// over the scene its glyphs' soft edges blend with what lies behind them).
TEST_F(RendererFrames, HudTextAtHalfScaleIsPixelIdenticalToTheFullSizeFrames)
{
    RenderFrames(4);
    auto shot = [&](float scale, bool sceneToo) {
        FrameRecordingOptions options = renderer->RecordingOptions();
        options.passes = sceneToo ? ~0u : FramePassUi;
        renderer->SetRecordingOptions(options);
        renderer->ForceRenderScale(scale);
        for (uint32_t i = 0; i < MaxFramesInFlight; ++i)
            scene->Render();
        renderer->CaptureNextFrame();
        scene->Render();
        std::vector<uint8_t> pixels;
        VkExtent2D extent{};
        EXPECT_TRUE(renderer->TakeCapture(pixels, extent));
        renderer->ForceRenderScale(std::nullopt);
        renderer->SetRecordingOptions(FrameRecordingOptions{});
        return pixels;
    };
    const std::vector<uint8_t> uiFull = shot(1.0f, false), uiHalf = shot(0.5f, false);
    const std::vector<uint8_t> full = shot(1.0f, true), half = shot(0.5f, true);
    ASSERT_EQ(uiFull.size(), size_t(WindowWidth) * WindowHeight * 4);
    EXPECT_TRUE(uiFull == uiHalf) << "the UI alone differs between the scales";
    size_t drawn = 0, sceneDiffers = 0;
    for (size_t i = 0; i < uiFull.size(); i += 4) {
        drawn += uiFull[i] != 0 || uiFull[i + 1] != 0 || uiFull[i + 2] != 0;
        sceneDiffers += full[i] != half[i];
    }
    EXPECT_GT(drawn, 100u) << "no HUD text in the frame";
    EXPECT_GT(sceneDiffers, uiFull.size() / 40) << "the half-size scene looks like the full-size one";
}

namespace {

// The next frame of the game state the scene holds, read back from the swap chain (BGRA, the UI
// left out), drawn at `scale` and brought to the window by `filter`. The frames in flight are
// drawn the same way first.
std::vector<uint8_t> CaptureScene(Scene0& scene, float scale, UpscaleFilter filter)
{
    FrameRecordingOptions options = renderer->RecordingOptions();
    options.passes &= ~FramePassUi;
    renderer->SetRecordingOptions(options);
    renderer->ForceRenderScale(scale);
    window.upscaleFilter = filter;
    for (uint32_t i = 0; i < MaxFramesInFlight; ++i)
        scene.Render();
    renderer->CaptureNextFrame();
    scene.Render();
    std::vector<uint8_t> pixels;
    VkExtent2D extent{};
    EXPECT_TRUE(renderer->TakeCapture(pixels, extent));
    renderer->ForceRenderScale(std::nullopt);
    renderer->SetRecordingOptions(FrameRecordingOptions{});
    window.upscaleFilter = UpscaleFilter::Sharpened;
    return pixels;
}

// Peak signal-to-noise ratio of `picture` against `reference` over the colour channels, in dB.
double Psnr(const std::vector<uint8_t>& reference, const std::vector<uint8_t>& picture)
{
    double squares = 0.0;
    size_t n = 0;
    for (size_t i = 0; i < reference.size(); ++i)
        if (i % 4 != 3) {
            const double d = double(reference[i]) - double(picture[i]);
            squares += d * d;
            ++n;
        }
    return squares == 0.0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 * double(n) / squares);
}

// Mean squared luma step between neighbouring pixels of a BGRA frame of the window's size: how
// steep its edges are.
double EdgeEnergy(const std::vector<uint8_t>& bgra)
{
    auto luma = [&](int x, int y) {
        const uint8_t* p = &bgra[(size_t(y) * WindowWidth + x) * 4];
        return 0.114 * p[0] + 0.587 * p[1] + 0.299 * p[2];
    };
    double sum = 0.0;
    for (int y = 0; y + 1 < WindowHeight; ++y)
        for (int x = 0; x + 1 < WindowWidth; ++x) {
            const double here = luma(x, y), right = luma(x + 1, y) - here, below = luma(x, y + 1) - here;
            sum += right * right + below * below;
        }
    return sum / (double(WindowWidth) * WindowHeight);
}

} // namespace

// The scene drawn at 0.5 and 0.75 of the window's size and brought up by the edge-directed filter
// with its sharpening: at least as close to the full-size frame of the same game state as
// bilinear, and with steeper edges than bilinear.
TEST_F(RendererFrames, SharpenedUpscaleIsAsCloseToTheFullFrameAsBilinearAndCrisper)
{
    RenderFrames(4);
    const std::vector<uint8_t> full = CaptureScene(*scene, 1.0f, UpscaleFilter::Sharpened);
    ASSERT_EQ(full.size(), size_t(WindowWidth) * WindowHeight * 4);
    for (float scale : {0.5f, 0.75f}) {
        const std::vector<uint8_t> bilinear = CaptureScene(*scene, scale, UpscaleFilter::Bilinear);
        const std::vector<uint8_t> sharpened = CaptureScene(*scene, scale, UpscaleFilter::Sharpened);
        const double bilinearPsnr = Psnr(full, bilinear), sharpenedPsnr = Psnr(full, sharpened);
        std::printf("s = %.2f: PSNR bilinear %.3f dB, sharpened %.3f dB; edge energy full %.1f, bilinear %.1f, "
                    "sharpened %.1f\n",
                    scale, bilinearPsnr, sharpenedPsnr, EdgeEnergy(full), EdgeEnergy(bilinear), EdgeEnergy(sharpened));
        EXPECT_GE(sharpenedPsnr, bilinearPsnr) << "s = " << scale;
        EXPECT_GT(EdgeEnergy(sharpened), 1.05 * EdgeEnergy(bilinear))
            << "s = " << scale << ": no crisper than bilinear";
    }
}

// The scale and the filter change every frame while the game draws: viewports and push constants
// only, with no validation message (the run script checks the layer's log). The allocations of
// such frames are counted by render_bench: the validation layer in this process allocates through
// the counted operator itself.
TEST_F(RendererFrames, ChangingTheScaleDuringPlayKeepsValidationClean)
{
    constexpr float Scales[] = {1.0f, 0.5f, 0.75f, 0.55f, 1.0f, 0.6f};
    for (float scale : Scales) { // each scale and filter once first: the UI's and driver's first uses
        renderer->ForceRenderScale(scale);
        RenderFrames(1);
    }
    for (int i = 0; i < 12; ++i) {
        renderer->ForceRenderScale(Scales[i % 6]);
        window.upscaleFilter = i % 4 < 2 ? UpscaleFilter::Sharpened : UpscaleFilter::Bilinear;
        scene->Render();
        EXPECT_EQ(renderer->RenderScale(), Scales[i % 6]);
    }
    renderer->ForceRenderScale(std::nullopt);
    window.upscaleFilter = UpscaleFilter::Sharpened;

    // The options' render scale, applied as the menu applies it, draws from the next frame;
    // Low is half size whatever it says.
    scene->Settings().renderScale = 0.7f;
    scene->ApplySettings();
    scene->Render();
    EXPECT_FLOAT_EQ(renderer->RenderScale(), 0.7f);
    scene->Settings().quality = RenderQuality::Low;
    scene->ApplySettings();
    scene->Render();
    EXPECT_FLOAT_EQ(renderer->RenderScale(), 0.5f);
    scene->Settings().renderScale = 1.0f;
    scene->Settings().quality = RenderQuality::High;
    scene->ApplySettings();
}

// The soak has a suite of its own: run_renderer_frames.sh runs it in a process without the
// validation layer's synchronization checks, whose state grows with every resource ever made.
class RendererSoak : public RendererFrames {};

// The application's restart, ten times over: each old scene releases everything it and its
// frames made, and the process does not grow from one restart to the next (the leak check,
// with the validation layer's leak report at device destruction behind it).
TEST_F(RendererSoak, TenSceneRestartsReleaseRebuildAndKeepResidentMemoryFlat)
{
    // A leaked scene (textures, meshes, buffers, pipelines) is tens of megabytes; 2 MB leaves
    // room for driver caches. The C heap reaches its working size over the first few restarts
    // (the scene's decoded images and textures outlive it, so restarts allocate differently from
    // the start), and growth is counted over the ten restarts after those.
    constexpr int Settling = 5;
    constexpr int Restarts = Settling + 10;
    constexpr long AllowedGrowthKiB = 2048;
    long afterFirst = -1;
    for (int restart = 1; restart <= Restarts; ++restart) {
        scene.reset(); // releases the frame resources
        EXPECT_TRUE(gpu.namedBuffers.empty());
        EXPECT_EQ(gpu.commandPool, VK_NULL_HANDLE);
        EXPECT_EQ(assetRegistry, nullptr);
        EXPECT_EQ(grid, nullptr);
        renderer->RecreateFrameResources();
        ASSERT_NE(gpu.commandPool, VK_NULL_HANDLE);
        scene = NewScene();
        RenderFrames(MaxFramesInFlight); // each frame slot once with the fresh scene
        ASSERT_EQ(vkDeviceWaitIdle(gpu.device), VK_SUCCESS);
        if (restart == Settling)
            afterFirst = ResidentKiB();
    }
    const long afterLast = ResidentKiB();
    std::printf("[   soak   ] VmRSS after restart %d: %ld KiB, after restart %d: %ld KiB (%+ld KiB)\n", Settling,
                afterFirst, Restarts, afterLast, afterLast - afterFirst);
    RecordProperty("VmRssAfterSettlingKiB", std::to_string(afterFirst));
    RecordProperty("VmRssAfterLastRestartKiB", std::to_string(afterLast));
    ASSERT_GT(afterFirst, 0) << "no VmRSS in /proc/self/status";
    EXPECT_LE(afterLast - afterFirst, AllowedGrowthKiB);
    ExpectSkyAboveLitGeometry(Screenshot());
}

TEST_F(RendererFrames, ResizeRebuildsTheSwapChainAtTheNewSize)
{
    SDL_SetWindowSize(window.sdlWindow, 960, 540);
    RenderUntilSwapChainIs(960, 540);
    EXPECT_TRUE(SwapChainIs(960, 540));
    RenderFrames(3);
    ExpectSkyAboveLitGeometry(Screenshot());

    SDL_SetWindowSize(window.sdlWindow, WindowWidth, WindowHeight);
    RenderUntilSwapChainIs(WindowWidth, WindowHeight);
    EXPECT_TRUE(SwapChainIs(WindowWidth, WindowHeight));
}

TEST_F(RendererFrames, HiddenWindowSkipsFramesAndWaitsForWindowEvents)
{
    RenderFrames(MaxFramesInFlight);
    SDL_HideWindow(window.sdlWindow);
    PumpEvents();
    const uint64_t presented = renderer->PresentedFrames();
    const uint64_t waits = renderer->WindowWaits();
    const uint32_t slot = renderer->CurrentFrame();
    RenderFrames(10);
    // Every frame went to waiting for the window's next event: none acquired, drawn or presented.
    EXPECT_EQ(renderer->PresentedFrames(), presented);
    EXPECT_EQ(renderer->WindowWaits(), waits + 10);
    EXPECT_EQ(renderer->CurrentFrame(), slot);
    // Hidden, the game paused itself; it waits behind its menu until the player resumes.
    EXPECT_TRUE(scene->paused);

    SDL_ShowWindow(window.sdlWindow);
    for (int i = 0; i < 30 && renderer->PresentedFrames() < presented + 3; ++i)
        RenderFrames(1);
    EXPECT_GE(renderer->PresentedFrames(), presented + 3) << "shown again, it draws again";
    RenderFrames(3);
    ExpectSkyAboveLitGeometry(Screenshot());
    EXPECT_TRUE(scene->paused);
    const SDL_Event escape = Escape();
    scene->HandleEvent(&escape);
    EXPECT_FALSE(scene->paused);
}

TEST_F(RendererFrames, ALostSurfaceIsAnErrorNotAWaitForAWindowThatNeverComes)
{
    RenderFrames(1);
    const uint64_t waits = renderer->WindowWaits();
    surfaceLost = true;
    window.vsync = !window.vsync; // a new swap chain is due, and its first step asks the surface
    try {
        renderer->DrawFrame(scene.get());
        ADD_FAILURE() << "the lost surface went unreported";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "failed to query the surface's capabilities");
    }
    surfaceLost = false;
    window.vsync = !window.vsync;
    EXPECT_EQ(renderer->WindowWaits(), waits) << "the lost surface read as a window with nothing to show";

    // The set the failed frame tore down is rebuilt by the next one.
    const uint64_t presented = renderer->PresentedFrames();
    RenderFrames(2);
    EXPECT_EQ(renderer->PresentedFrames(), presented + 2);
    EXPECT_TRUE(SwapChainIs(WindowWidth, WindowHeight));
}

TEST_F(RendererFrames, PauseMenuButtonsResumeRestartAndExit)
{
    OpenPauseMenu();
    ASSERT_TRUE(scene->paused);
    RenderFrames(1); // the menu drawn once: the UI knows where its buttons are
    ClickMenuButton("Resume", [this] { return !scene->paused; });
    EXPECT_FALSE(scene->paused);
    EXPECT_FALSE(scene->restartRequested || scene->quitRequested);

    OpenPauseMenu();
    RenderFrames(1);
    ClickMenuButton("Restart", [this] { return scene->restartRequested; });
    EXPECT_TRUE(scene->restartRequested);
    ClickMenuButton("Exit", [this] { return scene->quitRequested; });
    EXPECT_TRUE(scene->quitRequested);
}

TEST_F(RendererFrames, PauseMenuOverTheSceneStillRenders)
{
    OpenPauseMenu();
    ASSERT_TRUE(scene->paused);
    const uint64_t presented = renderer->PresentedFrames();
    RenderFrames(3);
    EXPECT_EQ(renderer->PresentedFrames(), presented + 3);
    const Image image = Screenshot();
    // The menu window sits in the middle of the frame, in the UI's dark style.
    EXPECT_LT(image.Mean(0.47, 0.47, 0.53, 0.53).Luminance(), 90.0);
}

int main(int argc, char** argv)
{
    // One heap for every thread, the driver's included, set before any thread starts: with the
    // heap's free pages handed back before each reading (ResidentKiB), the soak's figures follow
    // what the process holds rather than how per-thread heaps happen to be carved up.
    mallopt(M_ARENA_MAX, 1);
    ::testing::InitGoogleTest(&argc, argv);
    // The pack is read from the run directory, the working directory; screenshots go elsewhere.
    std::string pattern = (std::filesystem::temp_directory_path() / "zorbulon-frames-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    shotDir = pattern;

    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return 1;
    }
    window.width = WindowWidth;
    window.height = WindowHeight;
    window.sdlWindow = SDL_CreateWindow("Zorbulon", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, WindowWidth,
                                        WindowHeight, SDL_WINDOW_VULKAN);
    if (!window.sdlWindow) {
        std::fprintf(stderr, "SDL_CreateWindow: %s\n", SDL_GetError());
        return 1;
    }
    window.quality = RenderQuality::High; // the device's multisampling, as the documented pictures
    renderer = new VulkanRenderer(&window);
    window.backend = renderer->backend;
    renderer->Init();

    const int result = RUN_ALL_TESTS();

    delete renderer; // the validation layer reports leaked objects here
    SDL_DestroyWindow(window.sdlWindow);
    SDL_Quit();
    std::error_code ignored;
    std::filesystem::remove_all(shotDir, ignored);
    return result;
}
