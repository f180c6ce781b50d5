// The launcher's list of window sizes from the display's modes: each size once, largest first.
#pragma once

#include <vector>

struct DisplaySize {
    int width = 0;
    int height = 0;
    bool operator==(const DisplaySize&) const = default;
};

// The display reports one mode per size, refresh rate and pixel format: the player picks a size.
// Sizes the launcher would clamp (below the smallest window, above the largest) are left out, so
// that every entry starts the game at the size it names.
std::vector<DisplaySize> DistinctSizesLargestFirst(std::vector<DisplaySize> modes);
