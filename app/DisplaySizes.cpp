#include "app/DisplaySizes.h"

#include "app/Launcher.h"

#include <algorithm>

std::vector<DisplaySize> DistinctSizesLargestFirst(std::vector<DisplaySize> modes)
{
    std::erase_if(modes, [](const DisplaySize& s) {
        int width = s.width, height = s.height;
        ClampResolution(width, height);
        return width != s.width || height != s.height;
    });
    // Widest first, then tallest: the order SDL itself uses, whatever order the driver gave.
    std::sort(modes.begin(), modes.end(), [](const DisplaySize& a, const DisplaySize& b) {
        return a.width != b.width ? a.width > b.width : a.height > b.height;
    });
    modes.erase(std::unique(modes.begin(), modes.end()), modes.end());
    return modes;
}
