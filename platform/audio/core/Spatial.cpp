#include "platform/audio/core/Spatial.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace ovelaudio {
namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kDegrees = kPi / 180.0f;
constexpr float kTiny = 1e-6f;
// Metres: forest sources stand 4 m and more away; nearer than this nothing fades.
constexpr float kReferenceDistance = 5.0f;

struct Speaker {
    uint32_t channel;
    float azimuth;  // degrees, 0 ahead, positive to the right
};

// Channel order: front left, front right, centre, LFE, rear left, rear right, side left, side right.
const std::vector<Speaker>& Layout(uint32_t speakers)
{
    static const std::vector<Speaker> quad = {{0, -45}, {1, 45}, {3, 135}, {2, -135}};
    static const std::vector<Speaker> surround51 = {{0, -30}, {2, 0}, {1, 30}, {5, 110}, {4, -110}};
    static const std::vector<Speaker> surround71 = {{0, -30}, {2, 0}, {1, 30}, {7, 90}, {5, 150}, {4, -150}, {6, -90}};
    switch (speakers) {
        case 4:
            return quad;
        case 6:
            return surround51;
        case 8:
            return surround71;
        default: {
            static const std::vector<Speaker> stereo = {{0, -90}, {1, 90}};
            return stereo;
        }
    }
}

Vec3 Sub(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Length(const Vec3& v) { return std::sqrt(Dot(v, v)); }
bool IsZero(const Vec3& v) { return Dot(v, v) < kTiny; }

float Rolloff(float distance, const Factors& factors)
{
    const float d = distance * factors.distance;
    return d <= kReferenceDistance
               ? 1.0f
               : kReferenceDistance / (kReferenceDistance + factors.rolloff * (d - kReferenceDistance));
}

// Degrees in (-180, 180]; straight ahead when the source is above, below or at the listener.
float Azimuth(const Vec3& offset, const Listener& listener)
{
    const Vec3 front = IsZero(listener.front) ? Listener().front : listener.front;
    const Vec3 top = IsZero(listener.top) ? Listener().top : listener.top;
    const Vec3 right = Cross(top, front);
    const float x = Dot(offset, right) / std::max(Length(right), kTiny);
    const float z = Dot(offset, front) / Length(front);
    if (std::fabs(x) < kTiny && std::fabs(z) < kTiny)
        return 0.0f;
    return std::atan2(x, z) / kDegrees;
}

// Angle from a to b going clockwise (to the right), in [0, 360).
float Clockwise(float a, float b)
{
    const float d = std::fmod(b - a + 360.0f, 360.0f);
    return d < 0.0f ? d + 360.0f : d;
}

void PanBetween(const Speaker& a, const Speaker& b, float azimuth, SpeakerGains& gains)
{
    const float span = Clockwise(a.azimuth, b.azimuth);
    const float u = span > 0.0f ? Clockwise(a.azimuth, azimuth) / span : 0.0f;
    gains[a.channel] = std::cos(u * kPi / 2.0f);
    gains[b.channel] = std::sin(u * kPi / 2.0f);
}

}  // namespace

SpeakerGains SpatialGains(const Vec3& position, const Listener& listener, const Factors& factors, uint32_t speakers)
{
    const Vec3 offset = Sub(position, listener.position);
    float azimuth = Azimuth(offset, listener);
    SpeakerGains gains{};
    const std::vector<Speaker>& layout = Layout(speakers);
    if (layout.size() == 2) {
        // Behind folds to the front: stereo has no rear.
        if (azimuth > 90.0f)
            azimuth = 180.0f - azimuth;
        if (azimuth < -90.0f)
            azimuth = -180.0f - azimuth;
        PanBetween(layout[0], layout[1], azimuth, gains);
    } else {
        for (size_t i = 0; i < layout.size(); ++i) {
            const Speaker& a = layout[i];
            const Speaker& b = layout[(i + 1) % layout.size()];
            if (Clockwise(a.azimuth, azimuth) <= Clockwise(a.azimuth, b.azimuth)) {
                PanBetween(a, b, azimuth, gains);
                break;
            }
        }
    }
    const float level = Rolloff(Length(offset), factors);
    for (float& gain : gains)
        gain *= level;
    return gains;
}

}  // namespace ovelaudio
