// Picks the 3D scene's render scale each frame from the measured frame time, so that the frame
// time holds a target: down at once when a frame runs over, up slowly once frames stay under.
// Pure: fed frame times, it answers scales; the renderer owns one and feeds it wall time.
#pragma once

class RenderScaleController {
public:
    static constexpr float MinScale = 0.5f;
    static constexpr float MaxScale = 1.0f;
    // The unit a scale moves by: about 10 % of the pixels at s = 1, a visible but mild change.
    static constexpr float Step = 0.05f;

    explicit RenderScaleController(double targetSeconds, float startScale = MaxScale);

    void SetTarget(double seconds) { target = seconds; }
    double Target() const { return target; }
    // Starts over at `scale` (clamped), forgetting the history: a new mode, a new window.
    void Reset(float scale);
    // The most the scale may rise to: the player's render scale, on the step grid (rounded
    // down). A scale above a lowered ceiling drops to it at once.
    void SetCeiling(float most);
    float Ceiling() const { return ceiling; }
    // One frame's time; answers the scale of the next frame.
    float Update(double frameSeconds);
    float Scale() const { return scale; }

private:
    void ChangeTo(float next);
    float Bounded(float s) const;

    double target;
    float ceiling = MaxScale;
    float scale;
    double calmSeconds = 0.0; // how long frames have stayed under the raise threshold
    bool ignoreNext = false;  // the frame after a change still carries the old scale's work
    // A raise that ran over at once was a step too far: that level waits longer each time it
    // fails, so a load between two steps settles on the lower instead of flipping between them.
    float failedScale = 0.0f;
    double failedWaitSeconds = 0.0;
    bool justRaised = false;
};
