// Decoding the scene's images (the thirteen 2D textures and the six sky faces, all PNGs): each
// image through stb_image and through libspng, the two decoders the engine could use for PNGs,
// and the whole set through ImageBatch on one thread and on every core. Runs from the directory
// that holds the pack (the run directory by default).
#include "assets/AssetPack.h"
#include "assets/ImageBatch.h"
#include "assets/ImageDecoder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::vector<std::string>& SceneImages()
{
    static const std::vector<std::string> names = {
        "GroundTexture", "GroundNormalTexture", "GrassDiffuseTexture", "GrassNormalTexture", "GrassAlphaTexture",
        "MoonTexture",   "DrevikDiff",          "DrevikNormal",        "ZombieDiff",         "ZombieSpec",
        "ZombieNormal",  "BubblgunDiffuse",     "BubblgunNormal",      "SkyBoxpx",           "SkyBoxnx",
        "SkyBoxpy",      "SkyBoxny",            "SkyBoxpz",            "SkyBoxnz"};
    return names;
}

const std::vector<std::vector<char>>& SceneImageBytes()
{
    static const std::vector<std::vector<char>> bytes = [] {
        std::vector<std::vector<char>> all;
        for (const std::string& name : SceneImages())
            all.push_back(LoadAsset(name.c_str()));
        return all;
    }();
    return bytes;
}

template <DecodedImage (*Decode)(const std::vector<char>&)> void DecodeEveryImage(benchmark::State& state)
{
    const auto& images = SceneImageBytes();
    int64_t pixels = 0;
    for (auto _ : state)
        for (const std::vector<char>& bytes : images) {
            DecodedImage image = Decode(bytes);
            benchmark::DoNotOptimize(image.pixels.get());
            pixels += int64_t(image.width) * image.height;
        }
    state.counters["Mpixel/s"] = benchmark::Counter(double(pixels) / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK_TEMPLATE(DecodeEveryImage, DecodeTextureImageWithStb)->Name("serial/stb_image")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(DecodeEveryImage, DecodeTextureImage)->Name("serial/libspng")->Unit(benchmark::kMillisecond);

// Pack reads included, as the scene pays them.
void Batch(benchmark::State& state)
{
    for (auto _ : state) {
        ImageBatch batch(SceneImages(), unsigned(state.range(0)));
        benchmark::DoNotOptimize(&batch);
    }
    state.SetLabel(std::to_string(state.range(0)) + " thread(s)");
}
BENCHMARK(Batch)
    ->Arg(1)
    ->Arg(int(std::max(1u, std::thread::hardware_concurrency())))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (!std::filesystem::exists("Assets.bin"))
        std::filesystem::current_path(std::filesystem::read_symlink("/proc/self/exe").parent_path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
