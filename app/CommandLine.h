// The game's command line: the picture quality for this run, or a usage error.
#pragma once

#include "app/RenderQuality.h"

#include <optional>
#include <string>

struct CommandLine {
    std::optional<RenderQuality> quality; // --quality=high|auto|low
    bool help = false;                    // --help
    std::string error;                    // empty when the line was understood
};

CommandLine ParseCommandLine(int argc, const char* const* argv);

// The usage text, for --help and after an error.
inline constexpr const char* CommandLineUsage = "usage: zorbulon [--quality=high|auto|low]\n"
                                                "  high  the scene at the window's size, full anti-aliasing\n"
                                                "  auto  the scene's size follows the frame time\n"
                                                "  low   the scene at half size, no anti-aliasing\n";
