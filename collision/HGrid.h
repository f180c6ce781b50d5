// Broad phase: a hierarchical spatial hash of bounding spheres (sixteen levels of cells about one
// object across, hashed into 131072 buckets).
#pragma once

#include <glm/glm.hpp>

#include <cstdint>

class ICollisionComponent;
class Object;

class HGrid {
public:
    static constexpr int MaxLevels = 16;
    static constexpr int NumBuckets = 131072;
    // A power of two, so every level's cell size is exact and dividing by it rounds the same way
    // wherever it is done.
    static constexpr float MinCellSize = 0.5f;
    static constexpr float CellSizeRatio = 2.0f;
    static constexpr float SphereToCellRatio = 1.0f; // an object lives where cell * 1.0 >= its diameter

    // One hash bucket: its list, the stamp of the last query that walked it, and a copy of its
    // head's filed sphere, so that walking a bucket of one object touches this entry alone.
    struct alignas(32) Bucket {
        Object* head = nullptr;
        glm::vec3 headCentre{0.0f};
        float headRadius = 0.0f;
        int32_t count = 0; // objects in the list
        int32_t stamp = 0; // the `tick` of the last query that walked it (occupied buckets only)
    };

    int32_t objectsAtLevel[MaxLevels] = {};
    Bucket buckets[NumBuckets];
    // One bit per bucket, set while it holds objects: small enough to stay in cache, so the many
    // empty cells a query covers cost a bit test instead of a trip to the bucket array.
    uint64_t occupiedBuckets[NumBuckets / 64] = {};
    uint32_t occupiedLevelsMask = 0;
    int32_t tick = 0;
    // Largest radius filed on the top level, where objects too large for any level are clamped.
    float topLevelMaxRadius = 0.0f;
    // Per level, the box of cells its objects have occupied since it was last empty: spans are
    // clipped to it, so a flat world is not walked cell by cell far above and below its objects.
    struct CellBox {
        int32_t min[3];
        int32_t max[3];
    };
    CellBox levelCells[MaxLevels] = {};
    // Head of the list of every filed object, and their number.
    Object* filedObjects = nullptr;
    int32_t filedCount = 0;

    // Files obj on the lowest level whose cells hold its diameter (the larger of its own radius and
    // its volume's bounding radius); an object too large for every level (diameter above 16384) goes
    // on the top level. An object that is already filed is re-filed.
    void AddObject(Object& obj);
    // Unlinks obj and leaves it unfiled; an object that is not filed is left alone.
    void RemoveObject(Object& obj);
    // Re-hashes obj at its current position on its level and refreshes its filed sphere; an
    // object whose volume outgrew its level is re-filed. An object that is not filed is left alone.
    void MoveObject(Object& obj);
    // One query for obj against the process-wide grid; runs exact tests and callbacks.
    static void CheckObjAgainstGrid(Object* obj);

    // Bucket of cell (x, y, z) on `level`: the coordinates mixed in wrapping 32-bit arithmetic, so
    // that no lattice of nearby cells shares a bucket however large the world.
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
    struct Querier;
    struct LevelPlan;

    // One query: plans the cells it covers, then tests every filed object or walks those cells.
    void Query(Object& obj);
    void NextTick();
    // Per occupied level, the cells a query of radius r at p covers that hold objects.
    void PlanLevels(const glm::vec3& p, float r, LevelPlan& plan) const;
    // The sphere test of one object against the querier, and the exact test when they overlap.
    void TestCandidate(Querier& q, Object* o, const glm::vec3& centre, float radius);
    void TestEveryFiled(Querier& q);
    void WalkPlannedCells(Querier& q, const LevelPlan& plan);
    void WalkLevelCells(Querier& q, int level, const CellSpan (&span)[3]);
    void WalkBucket(Querier& q, int32_t bucket);
    void HandleRay(Object* ray);
    void Link(Object& obj, int32_t bucket);
    void Unlink(Object& obj);
    // Copies the head's filed sphere into its bucket.
    void CopyHead(int32_t bucket);
    // The cells a query of radius r at p walks on one level: false when none of them is occupied.
    bool LevelSpans(int level, float cellSize, const glm::vec3& p, float r, CellSpan (&spans)[3]) const;
    // The exact test of one candidate, with the querier's follow-up actions; false when the found
    // object has no volume to test. Out of line, so the walk around it stays small.
    [[gnu::noinline]] static bool ExactTest(Object& obj, Object& found, ICollisionComponent& component);
    void Occupy(int level, int32_t x, int32_t y, int32_t z);
};

// The current scene's grid, which the scene owns; null between scenes.
extern HGrid* grid;
