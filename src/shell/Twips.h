// Varnelle: units of the stored layouts (twips, RGB triples) and their one conversion to pixels.
#pragma once

#include <QPoint>
#include <QRect>

#include <cstdint>

namespace varnelle {

// A colour as stored in a layout: either a triple of its own, or one of the two
// system colours that a control takes when it has no colour of its own.
struct Colour {
    enum class Role : std::uint8_t { Own, ButtonFace, ButtonText };
    Role role = Role::Own;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

constexpr Colour rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return {Colour::Role::Own, r, g, b};
}

inline constexpr Colour kButtonFace{Colour::Role::ButtonFace};
inline constexpr Colour kButtonText{Colour::Role::ButtonText};

inline constexpr Colour kGreen = rgb(0, 255, 0);
inline constexpr Colour kNavy = rgb(0, 0, 128);
inline constexpr Colour kDarkNavy = rgb(0, 0, 64);
inline constexpr Colour kRed = rgb(255, 0, 0);
inline constexpr Colour kYellow = rgb(255, 255, 0);
inline constexpr Colour kLightCyan = rgb(192, 255, 255);
inline constexpr Colour kLightMagenta = rgb(255, 128, 255);
inline constexpr Colour kBlack = rgb(0, 0, 0);
inline constexpr Colour kWhite = rgb(255, 255, 255);

inline constexpr int kTwipsPerPixel = 15;

// A rectangle in a container's scale units, as the layouts store it.
struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// How a container's scale units map to twips on each axis: `units` of the
// scale span `twips` twips. Windows and ordinary containers count in twips;
// the map box has a scale of its own whose vertical unit is slightly larger
// than a twip (its inner area is 12915 twips high but counts 12900 units).
struct ScaleMode {
    int unitsX = 1;
    int twipsX = 1;
    int unitsY = 1;
    int twipsY = 1;
};

inline constexpr ScaleMode kTwips{};

// Converts a length or position in scale units to pixels at 96 dots per inch,
// rounding to the nearest pixel, halves away from zero. A rectangle converts
// its position and its size each on its own, as the forms toolkit does: a box
// 200 twips square is 13 pixels square wherever it stands.
constexpr int unitsToPixels(int units, int unitsPerScale, int twipsPerScale)
{
    const long long numerator = 2LL * units * twipsPerScale;
    const long long denominator = 2LL * kTwipsPerPixel * unitsPerScale;
    const long long half = kTwipsPerPixel * static_cast<long long>(unitsPerScale);
    return static_cast<int>(numerator >= 0 ? (numerator + half) / denominator : -((-numerator + half) / denominator));
}

constexpr QPoint toPixels(int x, int y, ScaleMode scale = kTwips)
{
    return {unitsToPixels(x, scale.unitsX, scale.twipsX), unitsToPixels(y, scale.unitsY, scale.twipsY)};
}

constexpr QRect toPixels(TwipRect rect, ScaleMode scale = kTwips)
{
    const QPoint size = toPixels(rect.width, rect.height, scale);
    return {toPixels(rect.left, rect.top, scale), QSize(size.x(), size.y())};
}

} // namespace varnelle
