// Writes an XScene as a DirectX text (.x) file that assimp imports back unchanged: the handedness
// flip, the reversed winding, ", " number separators and the mandatory tick rate are handled
// here, and malformed input (bad names, indices, key times) is refused before anything is written.
#pragma once

#include "tools/models/XScene.h"

#include <string>

class XWriter {
public:
    // Throws std::invalid_argument when the scene cannot be written faithfully.
    static std::string ToText(const XScene& scene);
    // ToText, then the file; throws std::runtime_error when the file cannot be written.
    static void Save(const XScene& scene, const std::string& path);
};
