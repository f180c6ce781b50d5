// Broad phase: a hierarchical spatial hash of bounding spheres (ten levels of cells about one
// object across, hashed into 4096 buckets).
#pragma once

#include <cstdint>

class ICollisionComponent;
class Object;

class HGrid {
public:
    static constexpr int MaxLevels = 10;
    static constexpr int NumBuckets = 4096;
    // A power of two, so every level's cell size is exact and dividing by it rounds the same way
    // wherever it is done.
    static constexpr float MinCellSize = 0.5f;
    static constexpr float CellSizeRatio = 2.0f;
    static constexpr float SphereToCellRatio = 1.0f; // an object lives where cell * 1.0 >= its diameter

    int32_t objectsAtLevel[MaxLevels] = {};
    Object* objectBucket[NumBuckets] = {};
    int32_t timeStamp[NumBuckets] = {};
    uint32_t occupiedLevelsMask = 0;
    int32_t tick = 0;
    // Largest radius filed on the top level, where objects too large for any level are clamped.
    float topLevelMaxRadius = 0.0f;

    // Files obj on the lowest level whose cells hold its diameter (the larger of its own radius and
    // its volume's bounding radius); an object too large for every level (diameter above 256) goes
    // on the top level. An object that is already filed is re-filed.
    void AddObject(Object& obj);
    // Unlinks obj and leaves it unfiled; an object that is not filed is left alone.
    void RemoveObject(Object& obj);
    // Re-hashes obj at its current position on its level and refreshes its filed sphere; an
    // object whose volume outgrew its level is re-filed. An object that is not filed is left alone.
    void MoveObject(Object& obj);
    // One query for obj against the process-wide grid; runs exact tests and callbacks.
    static void CheckObjAgainstGrid(Object* obj);

    // Bucket of cell (x, y, z) on `level`, in wrapping 32-bit arithmetic.
    static int32_t Hash(int32_t x, int32_t y, int32_t z, int32_t level);
    // Cell of one position component on a level: the quotient rounded down, so cell k holds
    // [k, k + 1) times the size on both sides of zero.
    static int32_t CellOf(float coordinate, float cellSize);
    // Inclusive cell span, along one axis, that a query of `radius` at `centre` walks on a level
    // whose objects reach at most `reach` from their centres.
    struct CellSpan {
        int32_t first;
        int32_t last;
    };
    static CellSpan QuerySpan(float centre, float radius, float cellSize, float reach);
    // How far the objects filed on `level` (cells of `cellSize`) may reach from their centres.
    float LevelReach(int level, float cellSize) const;

private:
    void Query(Object& obj);
    void HandleRay(Object* ray);
    void Link(Object& obj, int32_t bucket);
    void Unlink(Object& obj);
};

// The one grid of the process; the scene creates it and deletes it at teardown.
extern HGrid* grid;
