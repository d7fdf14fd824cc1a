#include "audio/core/Spatial.h"

#include <cmath>

namespace zav::audio {

namespace {

constexpr float kPi = 3.14159265358979f;

AudioVector Minus(const AudioVector& a, const AudioVector& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float Dot(const AudioVector& a, const AudioVector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
AudioVector Scale(const AudioVector& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
// Left-handed: top x front is the right axis.
AudioVector Cross(const AudioVector& a, const AudioVector& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
bool IsFinite(const AudioVector& a) { return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z); }

// The listener's right axis, or false when front and top do not span one.
bool RightAxis(const AudioVector& front, const AudioVector& top, AudioVector& right) {
    if (!IsFinite(front) || !IsFinite(top)) return false;
    const float frontLength = std::sqrt(Dot(front, front));
    if (!(frontLength > 1e-12f)) return false;
    const AudioVector f = Scale(front, 1.0f / frontLength);
    const AudioVector up = Minus(top, Scale(f, Dot(top, f)));
    const float upLength = std::sqrt(Dot(up, up));
    if (!(upLength > 1e-6f * std::sqrt(Dot(top, top))) || !(upLength > 0.0f)) return false;
    right = Cross(Scale(up, 1.0f / upLength), f);
    return true;
}

}  // namespace

bool IsUsableOrientation(const AudioVector& front, const AudioVector& top) {
    AudioVector right;
    return RightAxis(front, top, right);
}

StereoGain PlaceSound(const Listener& listener, const SpaceFactors& factors, const Placement& placement) {
    AudioVector offset{0, 0, 0};
    float across = 0.0f;  // distance along the listener's right axis
    if (placement.mode == kAudio3DNormal) {
        AudioVector right;
        offset = Minus(placement.position, listener.position);
        if (!IsFinite(offset) || !RightAxis(listener.front, listener.top, right)) return {};
        across = Dot(offset, right);
    } else if (placement.mode == kAudio3DRelative) {
        offset = placement.position;
        if (!IsFinite(offset)) return {};
        across = offset.x;
    }
    const double distance =
        std::sqrt(double(offset.x) * offset.x + double(offset.y) * offset.y + double(offset.z) * offset.z);
    float level = 1.0f;
    const double minDistance = placement.minDistance;
    const double maxDistance = std::fmax(placement.maxDistance, placement.minDistance);
    if (distance > minDistance && factors.rolloff > 0.0f) {
        const double d = std::fmin(distance, maxDistance);
        level = static_cast<float>(minDistance / (minDistance + double(factors.rolloff) * (d - minDistance)));
    }
    const float pan = distance > 0.0 ? static_cast<float>(std::fmax(-1.0, std::fmin(1.0, across / distance))) : 0.0f;
    const float angle = (pan + 1.0f) * kPi / 4.0f;
    return {level * std::cos(angle), level * std::sin(angle)};
}

}  // namespace zav::audio
