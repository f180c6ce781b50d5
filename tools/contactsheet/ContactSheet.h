// One picture of many textures: each scaled into a tile under its label, missing ones drawn as a
// striped placeholder, the sky faces unfolded as a cube cross. For looking at the game's content.
#pragma once

#include "tools/textures/Image.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

class ContactSheet {
public:
    // Tiles are tileSize pixels square, `columns` to a row.
    ContactSheet(int tileSize, int columns);

    // The image scaled into the next tile, aspect kept; std::nullopt draws the placeholder.
    void AddTile(const std::string& label, std::optional<Image> image);
    // Continues below the tiles placed so far.
    void NewRow();
    // Four tiles wide and three high: +Y above +Z; -X, +Z, +X, -Z left to right; -Y below +Z,
    // so neighbouring tiles share their cube edges. `faces` are in layer order +X, -X, +Y, -Y, +Z, -Z.
    void AddCubeCross(const std::string& label, std::array<std::optional<Image>, 6> faces);

    // RGB: the tiles on a dark background, labels in light grey, alpha ignored.
    Image Compose() const;

    static constexpr int LabelHeight = 20; // room for one line of 2x-scaled bitmap text
    static constexpr int Gap = 8;

    // Top-left corner of the picture area of each tile placed so far, in placement order (a cube
    // cross adds its six faces in layer order).
    struct Placement {
        int x = 0;
        int y = 0;
    };
    std::vector<Placement> TileOrigins() const;

private:
    struct Tile {
        int x = 0, y = 0;
        std::string label;
        std::optional<Image> image;
    };

    struct Text {
        int x = 0, y = 0;
        std::string text;
    };

    int tileSize_;
    int columns_;
    int column_ = 0;
    int rowTop_ = 0;
    int rowBottom_ = 0;
    std::vector<Tile> tiles_;
    std::vector<Text> texts_;
};

// 8-bit RGBA pixels of a PNG (or any stb_image format) in memory; std::nullopt when undecodable.
std::optional<Image> DecodeImage(const std::vector<char>& bytes);
