#include "tools/models/Decimator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <queue>

namespace {

// Symmetric 4x4 plane quadric, upper triangle.
struct Quadric {
    double m[10] = {};
    void AddPlane(const glm::dvec3& n, double d, double w)
    {
        const double v[4] = {n.x, n.y, n.z, d};
        int k = 0;
        for (int i = 0; i < 4; ++i)
            for (int j = i; j < 4; ++j)
                m[k++] += w * v[i] * v[j];
    }
    void Add(const Quadric& o)
    {
        for (int i = 0; i < 10; ++i)
            m[i] += o.m[i];
    }
    double Error(const glm::dvec3& p) const
    {
        const double x = p.x, y = p.y, z = p.z;
        return m[0] * x * x + 2 * m[1] * x * y + 2 * m[2] * x * z + 2 * m[3] * x + m[4] * y * y + 2 * m[5] * y * z +
               2 * m[6] * y + m[7] * z * z + 2 * m[8] * z + m[9];
    }
    // The error minimiser, when the quadric is well conditioned.
    bool Optimum(glm::dvec3& p) const
    {
        const glm::dmat3 a(m[0], m[1], m[2], m[1], m[4], m[5], m[2], m[5], m[7]);
        const double det = glm::determinant(a);
        if (std::abs(det) < 1e-9)
            return false;
        p = -glm::inverse(a) * glm::dvec3(m[3], m[6], m[8]);
        return true;
    }
};

struct Candidate {
    double cost;
    uint32_t u, v;
    uint32_t stampU, stampV;
    glm::vec3 target;
    bool operator>(const Candidate& o) const { return cost > o.cost; }
};

// Below this shape factor (1 for equilateral) a triangle counts as a sliver.
constexpr float MinTriangleQuality = 0.08f;
// A collapse may not turn a face's normal further than this cosine from the surface normal.
constexpr float MinNormalAgreement = 0.25f;

class Reducer {
public:
    explicit Reducer(ModelMesh& mesh) : mesh_(mesh)
    {
        const size_t nv = mesh.positions.size();
        faces_.assign(mesh.triangles.begin(), mesh.triangles.end());
        faceAlive_.assign(faces_.size(), true);
        vertexFaces_.resize(nv);
        quadrics_.resize(nv);
        stamps_.assign(nv, 0);
        vertexAlive_.assign(nv, true);
        for (uint32_t f = 0; f < faces_.size(); ++f) {
            const glm::uvec3& t = faces_[f];
            const glm::dvec3 a = mesh.positions[t.x], b = mesh.positions[t.y], c = mesh.positions[t.z];
            glm::dvec3 n = glm::cross(b - a, c - a);
            const double area2 = glm::length(n);
            if (area2 <= 0.0)
                continue;
            n /= area2;
            for (int k = 0; k < 3; ++k) {
                vertexFaces_[t[k]].push_back(f);
                quadrics_[t[k]].AddPlane(n, -glm::dot(n, a), area2 * 0.5);
            }
        }
        alive_ = faces_.size();
        for (uint32_t f = 0; f < faces_.size(); ++f)
            for (int k = 0; k < 3; ++k)
                if (faces_[f][k] < faces_[f][(k + 1) % 3])
                    Push(faces_[f][k], faces_[f][(k + 1) % 3]);
    }

    void Run(size_t target)
    {
        while (alive_ > target && !heap_.empty()) {
            const Candidate c = heap_.top();
            heap_.pop();
            if (!vertexAlive_[c.u] || !vertexAlive_[c.v] || stamps_[c.u] != c.stampU || stamps_[c.v] != c.stampV)
                continue;
            Collapse(c.u, c.v, c.target);
        }
        Compact();
    }

private:
    void Push(uint32_t u, uint32_t v)
    {
        Quadric q = quadrics_[u];
        q.Add(quadrics_[v]);
        const glm::dvec3 pu = mesh_.positions[u], pv = mesh_.positions[v];
        glm::dvec3 best = 0.5 * (pu + pv);
        double cost = q.Error(best);
        glm::dvec3 opt;
        // Take the optimum only near the edge: far away it means an ill-posed quadric.
        if (q.Optimum(opt) && glm::distance(opt, best) < glm::distance(pu, pv)) {
            best = opt;
            cost = q.Error(opt);
        }
        for (const glm::dvec3& p : {pu, pv}) {
            const double e = q.Error(p);
            if (e < cost) {
                cost = e;
                best = p;
            }
        }
        heap_.push({std::max(cost, 0.0), u, v, stamps_[u], stamps_[v], glm::vec3(best)});
    }

    void Neighbours(uint32_t v, std::vector<uint32_t>& out) const
    {
        out.clear();
        for (uint32_t f : vertexFaces_[v])
            for (int k = 0; k < 3; ++k)
                if (faces_[f][k] != v && std::find(out.begin(), out.end(), faces_[f][k]) == out.end())
                    out.push_back(faces_[f][k]);
    }

    bool FaceAcceptable(uint32_t f, uint32_t moved, const glm::vec3& p, const glm::vec3& movedNormal) const
    {
        glm::vec3 q[3];
        glm::vec3 n(0.0f);
        for (int k = 0; k < 3; ++k) {
            const uint32_t i = faces_[f][k];
            q[k] = i == moved ? p : mesh_.positions[i];
            n += i == moved ? movedNormal : mesh_.normals[i];
        }
        const glm::vec3 cross = glm::cross(q[1] - q[0], q[2] - q[0]);
        const float area2 = glm::length(cross);
        const float edges = glm::dot(q[1] - q[0], q[1] - q[0]) + glm::dot(q[2] - q[1], q[2] - q[1]) +
                            glm::dot(q[0] - q[2], q[0] - q[2]);
        if (edges <= 0.0f || 2.0f * std::sqrt(3.0f) * area2 / edges < MinTriangleQuality)
            return false;
        return glm::dot(cross / area2, glm::normalize(n)) > MinNormalAgreement;
    }

    void Collapse(uint32_t u, uint32_t v, const glm::vec3& p)
    {
        // Link condition: u and v may share only the two vertices opposite their edge.
        Neighbours(u, nu_);
        Neighbours(v, nv_);
        int shared = 0;
        for (uint32_t w : nu_)
            if (std::find(nv_.begin(), nv_.end(), w) != nv_.end())
                ++shared;
        int sharedFaces = 0;
        for (uint32_t f : vertexFaces_[u])
            if (faces_[f].x == v || faces_[f].y == v || faces_[f].z == v)
                ++sharedFaces;
        if (sharedFaces != 2 || shared != 2)
            return;
        const glm::vec3 n = glm::normalize(mesh_.normals[u] + mesh_.normals[v]);
        for (uint32_t w : {u, v})
            for (uint32_t f : vertexFaces_[w]) {
                const glm::uvec3& t = faces_[f];
                const bool sharedFace = (t.x == u || t.y == u || t.z == u) && (t.x == v || t.y == v || t.z == v);
                if (!sharedFace && !FaceAcceptable(f, w, p, n))
                    return;
            }

        mesh_.positions[u] = p;
        mesh_.normals[u] = n;
        std::vector<uint32_t> keep;
        for (uint32_t f : vertexFaces_[u]) {
            const glm::uvec3& t = faces_[f];
            if (t.x == v || t.y == v || t.z == v) {
                faceAlive_[f] = false;
                --alive_;
                for (int k = 0; k < 3; ++k)
                    if (t[k] != u && t[k] != v) {
                        auto& list = vertexFaces_[t[k]];
                        list.erase(std::remove(list.begin(), list.end(), f), list.end());
                    }
            } else {
                keep.push_back(f);
            }
        }
        for (uint32_t f : vertexFaces_[v]) {
            if (!faceAlive_[f])
                continue;
            for (int k = 0; k < 3; ++k)
                if (faces_[f][k] == v)
                    faces_[f][k] = u;
            keep.push_back(f);
        }
        vertexFaces_[u] = std::move(keep);
        vertexFaces_[v].clear();
        vertexAlive_[v] = false;
        quadrics_[u].Add(quadrics_[v]);
        ++stamps_[u];
        // Entries of u's old edges are stale now; v's died with it.
        Neighbours(u, nu_);
        for (uint32_t w : nu_)
            Push(u, w);
    }

    void Compact()
    {
        std::vector<uint32_t> remap(mesh_.positions.size(), UINT32_MAX);
        ModelMesh out;
        for (uint32_t f = 0; f < faces_.size(); ++f) {
            if (!faceAlive_[f])
                continue;
            glm::uvec3 t;
            for (int k = 0; k < 3; ++k) {
                uint32_t& r = remap[faces_[f][k]];
                if (r == UINT32_MAX) {
                    r = static_cast<uint32_t>(out.positions.size());
                    out.positions.push_back(mesh_.positions[faces_[f][k]]);
                    out.normals.push_back(mesh_.normals[faces_[f][k]]);
                }
                t[k] = r;
            }
            out.triangles.push_back(t);
        }
        mesh_ = std::move(out);
    }

    ModelMesh& mesh_;
    std::vector<glm::uvec3> faces_;
    std::vector<bool> faceAlive_, vertexAlive_;
    std::vector<std::vector<uint32_t>> vertexFaces_;
    std::vector<Quadric> quadrics_;
    std::vector<uint32_t> stamps_;
    std::priority_queue<Candidate, std::vector<Candidate>, std::greater<Candidate>> heap_;
    std::vector<uint32_t> nu_, nv_;
    size_t alive_ = 0;
};

} // namespace

void Decimator::Reduce(ModelMesh& mesh, size_t targetTriangles)
{
    if (mesh.triangles.size() <= targetTriangles)
        return;
    Reducer(mesh).Run(targetTriangles);
}
