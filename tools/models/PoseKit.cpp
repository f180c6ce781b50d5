#include "tools/models/PoseKit.h"

#include <stdexcept>

namespace {

constexpr float Deg = 0.0174532925f;

float Ease(float t)
{
    return t * t * (3.0f - 2.0f * t);
}

} // namespace

PoseKit::PoseKit(const Skeleton& skeleton) : skeleton_(&skeleton), degrees_(skeleton.bones.size(), glm::vec3(0.0f)) {}

PoseKit& PoseKit::Turn(const std::string& bone, float x, float y, float z)
{
    degrees_[static_cast<size_t>(skeleton_->Find(bone))] += glm::vec3(x, y, z);
    return *this;
}

PoseKit& PoseKit::Move(const glm::vec3& hipsOffset)
{
    hips_ += hipsOffset;
    return *this;
}

Pose PoseKit::Build() const
{
    Pose p = CharacterExport::BindPose(*skeleton_);
    for (size_t b = 0; b < degrees_.size(); ++b) {
        const glm::vec3 d = degrees_[b] * Deg;
        // Applied x first, then y, then z.
        p.rotation[b] = glm::angleAxis(d.z, glm::vec3(0, 0, 1)) * glm::angleAxis(d.y, glm::vec3(0, 1, 0)) *
                        glm::angleAxis(d.x, glm::vec3(1, 0, 0));
    }
    p.hipsOffset = hips_;
    return p;
}

PoseKit PoseKit::Mix(const PoseKit& a, const PoseKit& b, float t)
{
    PoseKit out = a;
    for (size_t i = 0; i < out.degrees_.size(); ++i)
        out.degrees_[i] = a.degrees_[i] + (b.degrees_[i] - a.degrees_[i]) * t;
    out.hips_ = a.hips_ + (b.hips_ - a.hips_) * t;
    return out;
}

PoseTimeline& PoseTimeline::Key(float tick, const PoseKit& pose)
{
    if (!keys_.empty() && tick <= keys_.back().first)
        throw std::invalid_argument("pose keys must come in increasing ticks");
    keys_.emplace_back(tick, pose);
    return *this;
}

Pose PoseTimeline::At(float tick) const
{
    if (keys_.empty())
        throw std::logic_error("empty timeline");
    if (tick <= keys_.front().first)
        return keys_.front().second.Build();
    for (size_t i = 0; i + 1 < keys_.size(); ++i)
        if (tick < keys_[i + 1].first) {
            const float t = (tick - keys_[i].first) / (keys_[i + 1].first - keys_[i].first);
            return PoseKit::Mix(keys_[i].second, keys_[i + 1].second, Ease(t)).Build();
        }
    return keys_.back().second.Build();
}
