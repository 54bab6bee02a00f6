#include "tools/bankmaker/synth/Chimes.h"

#include "tools/bankmaker/synth/Dsp.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int ChimeRate = 44100;
constexpr float ChimeQuality = 0.2f;
constexpr double ChimeRmsDb = -20.0;
constexpr double PeakCeilingDb = -1.0;
constexpr double StrikeFade = 0.002;
constexpr double TailFade = 1.5;

// Rows of the picker: one kind of chime per row, one metal per column.
constexpr int KindsPerRow = 5;
enum class Kind {
    ChurchBell,
    Handbell,
    Tubes,
    Bowl,
    Bars
};

const char* const ChimeBank = "ovch.ics";

float F(double x) { return static_cast<float>(x); }

Kind KindOf(int index) { return static_cast<Kind>(index / KindsPerRow); }
int MetalOf(int index) { return index % KindsPerRow; }

// --- Sound -----------------------------------------------------------------

// Church bell partials about the strike tone (hum, prime, tierce, quint,
// nominal and above): the minor third is what makes it a bell.
const std::vector<Partial> ChurchBellModes = {
    {0.5, 0.5, 4.5},  {1.0, 0.8, 3.5},  {1.2, 0.6, 3.0},  {1.5, 0.3, 2.5}, {2.0, 1.0, 2.5},
    {2.5, 0.35, 2.0}, {2.67, 0.3, 1.8}, {3.0, 0.25, 1.5}, {4.2, 0.2, 1.0}, {5.4, 0.12, 0.6},
};
const std::vector<Partial> HandbellModes = {
    {1.0, 1.0, 2.5}, {3.0, 0.5, 1.5}, {4.07, 0.2, 0.8}, {5.9, 0.15, 0.5}, {8.2, 0.08, 0.3},
};
// A tube rings in the modes of a free bar.
const std::vector<Partial> TubeModes = {
    {1.0, 0.3, 3.0}, {2.756, 1.0, 3.5}, {5.404, 0.8, 2.5}, {8.933, 0.5, 1.5}, {13.345, 0.25, 0.8},
};
const std::vector<Partial> BowlModes = {{1.0, 1.0, 4.5}, {2.71, 0.5, 3.5}, {5.15, 0.25, 2.0}, {8.32, 0.1, 1.0}};
const std::vector<Partial> BarModes = {{1.0, 1.0, 2.5}, {2.756, 0.35, 1.2}, {5.404, 0.15, 0.5}};

// A real casting is never round: each mode splits in two a little apart, and
// the pair beats as the sound dies away.
std::vector<Partial> Doublets(const std::vector<Partial>& modes, double fundamental, Rng& rng)
{
    std::vector<Partial> split;
    for (const Partial& p : modes) {
        const double beatHz = rng.Range(0.4, 2.5);
        const double offset = beatHz / (2.0 * fundamental);
        split.push_back({p.ratio - offset, p.amplitude * 0.5, p.decaySeconds});
        split.push_back({p.ratio + offset, p.amplitude * 0.5, p.decaySeconds * rng.Range(0.8, 1.0)});
    }
    return split;
}

// The mallet's own short knock, bright for metal, dull for a padded striker.
Signal Knock(double brightnessHz, Rng& rng)
{
    Signal knock = WhiteNoise(Samples(ChimeRate, 0.004), rng);
    for (size_t i = 0; i < knock.size(); ++i) {
        knock[i] *= F(1.0 - static_cast<double>(i) / static_cast<double>(knock.size()));
    }
    Biquad::BandPass(ChimeRate, brightnessHz, 1.0).Run(knock);
    return knock;
}

// Every ring lasts to the end of the clip, whose fade-out then closes it.
void StrikeInto(Signal& out, double at, double fundamental, const std::vector<Partial>& modes, double velocity,
                double knockHz, Rng& rng)
{
    const size_t from = std::min(out.size(), Samples(ChimeRate, at));
    MixInto(out, StruckPartials(ChimeRate, out.size() - from, fundamental, modes), from, velocity);
    MixInto(out, Knock(knockHz, rng), from, velocity * 0.08);
}

// Room for the last strike to ring out.
Signal Silence(double lastStrike, double ringSeconds)
{
    return Signal(Samples(ChimeRate, lastStrike + ringSeconds), 0.0f);
}

Signal ChurchBell(int metal, Rng& rng)
{
    const double strike = rng.Range(200.0, 330.0);
    const int strokes = 1 + metal % 3;
    const double spacing = rng.Range(1.6, 2.2);
    Signal out = Silence((strokes - 1) * spacing, 6.5);
    for (int s = 0; s < strokes; ++s) {
        StrikeInto(out, s * spacing, strike, Doublets(ChurchBellModes, strike, rng), rng.Range(0.85, 1.0), 1500.0, rng);
    }
    return out;
}

Signal Handbells(Rng& rng)
{
    const double root = rng.Range(500.0, 800.0);
    const int bells = 3 + rng.Int(3);
    const double step = rng.Range(0.3, 0.45);
    Signal out = Silence((bells - 1) * step, 3.5);
    for (int b = 0; b < bells; ++b) {
        StrikeInto(out, b * step, Transpose(root, MajorPentatonic[(b * 2 + rng.Int(2)) % 6]), HandbellModes,
                   rng.Range(0.7, 1.0), 3000.0, rng);
    }
    return out;
}

// Four-note phrases on tubes, in scale steps.
constexpr std::array<std::array<int, 4>, KindsPerRow> TubePhrases = {{
    {4, 2, 0, 3},
    {0, 4, 2, 3},
    {3, 2, 4, 0},
    {4, 0, 2, 3},
    {0, 2, 3, 4},
}};

Signal Tubes(int metal, Rng& rng)
{
    // The pitch heard is that of the second mode.
    const double root = rng.Range(380.0, 560.0) / TubeModes[1].ratio;
    const double step = rng.Range(0.6, 0.8);
    const auto& phrase = TubePhrases[metal];
    Signal out = Silence(static_cast<double>(phrase.size() - 1) * step, 5.0);
    for (size_t k = 0; k < phrase.size(); ++k) {
        StrikeInto(out, static_cast<double>(k) * step, Transpose(root, MajorPentatonic[phrase[k]]), TubeModes,
                   rng.Range(0.8, 1.0), 2500.0, rng);
    }
    return out;
}

Signal Bowl(int metal, Rng& rng)
{
    const double f = rng.Range(180.0, 380.0);
    const bool twice = metal % 2 != 0;
    const double again = rng.Range(2.5, 3.5);
    Signal out = Silence(twice ? again : 0.0, 7.0);
    StrikeInto(out, 0.0, f, Doublets(BowlModes, f, rng), 1.0, 600.0, rng);
    if (twice)
        StrikeInto(out, again, f, Doublets(BowlModes, f, rng), 0.6, 600.0, rng);
    return out;
}

// Thin bars struck at random, as a breeze plays a wind chime.
Signal Bars(Rng& rng)
{
    constexpr double spread = 2.5;
    const double root = rng.Range(900.0, 1400.0);
    const int strikes = 6 + rng.Int(7);
    Signal out = Silence(spread, 3.0);
    for (int s = 0; s < strikes; ++s) {
        StrikeInto(out, rng.Range(0.0, spread), Transpose(root, MajorPentatonic[rng.Int(6)]), BarModes,
                   rng.Range(0.3, 1.0), 5000.0, rng);
    }
    return out;
}

Signal ChimeSignal(int index, Rng& rng)
{
    const int metal = MetalOf(index);
    switch (KindOf(index)) {
        case Kind::ChurchBell:
            return ChurchBell(metal, rng);
        case Kind::Handbell:
            return Handbells(rng);
        case Kind::Tubes:
            return Tubes(metal, rng);
        case Kind::Bowl:
            return Bowl(metal, rng);
        case Kind::Bars:
            break;
    }
    return Bars(rng);
}

// --- Picture ---------------------------------------------------------------

struct Rgb {
    double r, g, b;
};

constexpr Rgb Metals[KindsPerRow] = {
    {212, 175, 55},   // gold
    {192, 198, 206},  // silver
    {176, 120, 60},   // bronze
    {200, 110, 80},   // copper
    {110, 140, 180},  // blued steel
};
constexpr Rgb Background = {236, 233, 216};
constexpr Rgb Outline = {60, 50, 40};
constexpr Rgb Shadow = {70, 60, 50};  // the inside of a bowl, strings

enum class Material {
    None,
    Metal,
    Dark
};

bool InCircle(double u, double v, double cu, double cv, double r)
{
    return (u - cu) * (u - cu) + (v - cv) * (v - cv) <= r * r;
}

bool InRect(double u, double v, double u0, double v0, double u1, double v1)
{
    return u >= u0 && u <= u1 && v >= v0 && v <= v1;
}

bool InEllipse(double u, double v, double cu, double cv, double ru, double rv)
{
    const double a = (u - cu) / ru, b = (v - cv) / rv;
    return a * a + b * b <= 1.0;
}

// A bell's profile between its shoulder and its lip: narrow waist, flared mouth.
bool InBellBody(double u, double v, double top, double lip, double waist, double flare)
{
    if (v < top || v > lip)
        return false;
    const double t = (v - top) / (lip - top);
    double half = waist + 0.05 * t + flare * t * t * t * t;
    half *= std::sqrt(std::min(1.0, t / 0.15 + 0.05));  // round shoulder
    return std::fabs(u - 0.5) <= half;
}

Material ChurchBellShape(double u, double v)
{
    const bool crown = InCircle(u, v, 0.5, 0.14, 0.065) && !InCircle(u, v, 0.5, 0.14, 0.035);
    const bool body = InBellBody(u, v, 0.18, 0.75, 0.13, 0.17) || InRect(u, v, 0.14, 0.73, 0.86, 0.78);
    if (crown || body)
        return Material::Metal;
    return InCircle(u, v, 0.5, 0.84, 0.055) ? Material::Dark : Material::None;
}

Material HandbellShape(double u, double v)
{
    if (InCircle(u, v, 0.5, 0.12, 0.06) || InRect(u, v, 0.46, 0.12, 0.54, 0.42))
        return Material::Dark;
    const bool body = InBellBody(u, v, 0.38, 0.8, 0.1, 0.16) || InRect(u, v, 0.19, 0.78, 0.81, 0.83);
    return body ? Material::Metal : Material::None;
}

Material TubesShape(double u, double v)
{
    if (InRect(u, v, 0.14, 0.1, 0.86, 0.16))
        return Material::Dark;
    constexpr double centres[] = {0.24, 0.37, 0.5, 0.63, 0.76};
    constexpr double ends[] = {0.88, 0.8, 0.72, 0.64, 0.56};
    for (int k = 0; k < 5; ++k) {
        if (InRect(u, v, centres[k] - 0.006, 0.16, centres[k] + 0.006, 0.24))
            return Material::Dark;
        if (InRect(u, v, centres[k] - 0.04, 0.24, centres[k] + 0.04, ends[k]))
            return Material::Metal;
    }
    return Material::None;
}

Material BowlShape(double u, double v)
{
    // The striker leans on the rim.
    const double su = u - 0.72, sv = v - 0.3;
    const double along = (su + sv) / std::sqrt(2.0), across = (su - sv) / std::sqrt(2.0);
    if (std::fabs(across) < 0.025 && std::fabs(along) < 0.17)
        return Material::Dark;
    if (InEllipse(u, v, 0.5, 0.5, 0.34, 0.05))
        return Material::Dark;
    const bool rim = InEllipse(u, v, 0.5, 0.5, 0.38, 0.075);
    const bool body = v >= 0.5 && InEllipse(u, v, 0.5, 0.5, 0.38, 0.3);
    const bool foot = InRect(u, v, 0.4, 0.76, 0.6, 0.84);
    return rim || body || foot ? Material::Metal : Material::None;
}

Material BarsShape(double u, double v)
{
    for (int k = 0; k < 5; ++k) {
        const double centre = 0.2 + 0.15 * k;
        const double half = 0.36 - 0.045 * k;
        if (!InRect(u, v, 0.5 - half, centre - 0.045, 0.5 + half, centre + 0.045))
            continue;
        const bool pin =
            InCircle(u, v, 0.5 - half + 0.05, centre, 0.018) || InCircle(u, v, 0.5 + half - 0.05, centre, 0.018);
        return pin ? Material::Dark : Material::Metal;
    }
    return Material::None;
}

Material ShapeAt(Kind kind, double u, double v)
{
    switch (kind) {
        case Kind::ChurchBell:
            return ChurchBellShape(u, v);
        case Kind::Handbell:
            return HandbellShape(u, v);
        case Kind::Tubes:
            return TubesShape(u, v);
        case Kind::Bowl:
            return BowlShape(u, v);
        case Kind::Bars:
            break;
    }
    return BarsShape(u, v);
}

// Lit from the upper left: a round body is brightest left of its middle.
Rgb ShadeMetal(const Rgb& metal, double u)
{
    const double light = 0.55 + 0.45 * std::cos(std::clamp((u - 0.38) * Pi * 1.1, -Pi, Pi));
    const double shine = std::pow(std::max(0.0, 1.0 - std::fabs(u - 0.36) * 9.0), 2.0) * 0.5;
    return {std::min(255.0, metal.r * light + 255.0 * shine), std::min(255.0, metal.g * light + 255.0 * shine),
            std::min(255.0, metal.b * light + 255.0 * shine)};
}

Rgb SampleColour(Kind kind, const Rgb& metal, double u, double v)
{
    switch (ShapeAt(kind, u, v)) {
        case Material::Metal:
            return ShadeMetal(metal, u);
        case Material::Dark:
            return Shadow;
        case Material::None:
            break;
    }
    // Just outside an edge: the outline.
    const double d = 1.2 / ChimePictureSize;
    const bool edge = ShapeAt(kind, u - d, v) != Material::None || ShapeAt(kind, u + d, v) != Material::None ||
                      ShapeAt(kind, u, v - d) != Material::None || ShapeAt(kind, u, v + d) != Material::None;
    return edge ? Outline : Background;
}

void PutLe(std::vector<uint8_t>& out, uint32_t v, int bytes)
{
    for (int b = 0; b < bytes; ++b)
        out.push_back(static_cast<uint8_t>((v >> (8 * b)) & 0xFF));
}

uint8_t Channel(double c) { return static_cast<uint8_t>(std::lround(std::clamp(c, 0.0, 255.0))); }

}  // namespace

std::vector<uint8_t> ChimePicture(int index)
{
    constexpr int size = ChimePictureSize;
    constexpr int supersample = 4;
    constexpr uint32_t rowBytes = (size * 3 + 3) / 4 * 4;
    constexpr uint32_t headerBytes = 14 + 40;
    constexpr uint32_t imageBytes = rowBytes * size;

    std::vector<uint8_t> bmp;
    bmp.reserve(headerBytes + imageBytes);
    bmp.push_back('B');
    bmp.push_back('M');
    PutLe(bmp, headerBytes + imageBytes, 4);
    PutLe(bmp, 0, 4);
    PutLe(bmp, headerBytes, 4);
    PutLe(bmp, 40, 4);  // BITMAPINFOHEADER
    PutLe(bmp, size, 4);
    PutLe(bmp, size, 4);  // positive height: rows bottom-up
    PutLe(bmp, 1, 2);
    PutLe(bmp, 24, 2);
    PutLe(bmp, 0, 4);  // BI_RGB
    PutLe(bmp, imageBytes, 4);
    PutLe(bmp, 2835, 4);  // 72 dpi
    PutLe(bmp, 2835, 4);
    PutLe(bmp, 0, 4);
    PutLe(bmp, 0, 4);

    const Kind kind = KindOf(index);
    const Rgb& metal = Metals[MetalOf(index)];
    for (int row = size - 1; row >= 0; --row) {
        for (int col = 0; col < size; ++col) {
            Rgb sum{0, 0, 0};
            for (int sy = 0; sy < supersample; ++sy) {
                for (int sx = 0; sx < supersample; ++sx) {
                    const double u = (col + (sx + 0.5) / supersample) / size;
                    const double v = (row + (sy + 0.5) / supersample) / size;
                    const Rgb c = SampleColour(kind, metal, u, v);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                }
            }
            const double n = supersample * supersample;
            bmp.push_back(Channel(sum.b / n));
            bmp.push_back(Channel(sum.g / n));
            bmp.push_back(Channel(sum.r / n));
        }
        for (uint32_t pad = size * 3; pad < rowBytes; ++pad)
            bmp.push_back(0);
    }
    return bmp;
}

SynthClip ChimeSound(int index)
{
    Rng rng(ClipSeed(ChimeBank, index));
    Signal chime = ChimeSignal(index, rng);
    NormaliseRms(chime, ChimeRmsDb, PeakCeilingDb);
    Fade(chime, 1, ChimeRate, StrikeFade, TailFade);
    SynthClip clip;
    clip.sound = MonoSound(ChimeRate, std::move(chime));
    clip.vorbisQuality = ChimeQuality;
    return clip;
}
