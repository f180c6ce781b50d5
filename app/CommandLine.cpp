// The game's command-line parsing.
#include "app/CommandLine.h"

#include <string_view>

CommandLine ParseCommandLine(int argc, const char* const* argv)
{
    constexpr std::string_view QualityOption = "--quality=";
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            line.help = true;
        } else if (argument.substr(0, QualityOption.size()) == QualityOption) {
            const std::string_view value = argument.substr(QualityOption.size());
            line.quality = ParseRenderQuality(value, false);
            if (!line.quality)
                line.error = "unknown quality \"" + std::string(value) + "\": expected high, auto or low";
        } else {
            line.error = "unknown argument \"" + std::string(argument) + "\"";
        }
        if (!line.error.empty())
            break;
    }
    return line;
}
