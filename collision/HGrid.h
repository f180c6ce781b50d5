// Broad phase: a hierarchical spatial hash of bounding spheres (ten levels, 1024 buckets).
#pragma once

#include <cstdint>

class Object;

class HGrid {
public:
    static constexpr int MaxLevels = 10;
    static constexpr int NumBuckets = 1024;
    static constexpr float MinCellSize = 5.0f;
    static constexpr float CellSizeRatio = 2.0f;
    static constexpr float SphereToCellRatio = 0.25f; // an object lives where cell * 0.25 >= its diameter

    int32_t objectsAtLevel[MaxLevels] = {};
    Object* objectBucket[NumBuckets] = {};
    int32_t timeStamp[NumBuckets] = {};
    uint32_t occupiedLevelsMask = 0;
    int32_t tick = 0;

    void AddObject(Object& obj);
    void RemoveObject(Object& obj);
    void MoveObject(Object& obj);
    // One query for obj against the process-wide grid; runs exact tests and callbacks.
    static void CheckObjAgainstGrid(Object* obj);

private:
    void HandleRay(Object* ray);
};

// The one grid of the process; the scene creates it and deletes it at teardown.
extern HGrid* grid;
