// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop/report_colours.h"

#include <algorithm>
#include <cmath>

namespace tesuko {

namespace {

double relativeLuminance(const QColor& colour) {
    auto linear = [](float channel) {
        return channel <= 0.04045f ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

QColor mixed(const QColor& from, const QColor& to, double share) {
    auto channel = [&](float a, float b) { return float(a + (b - a) * share); };
    return QColor::fromRgbF(channel(from.redF(), to.redF()), channel(from.greenF(), to.greenF()),
                            channel(from.blueF(), to.blueF()));
}

// The colour moved towards `towards` (the text colour, which stands out
// from the background) in small steps until it contrasts enough.
QColor standingOut(const QColor& colour, const QColor& towards, const QColor& background) {
    constexpr double kLeast = 3.0;
    for (double share = 0; share < 1; share += 0.05) {
        QColor candidate = mixed(colour, towards, share);
        if (contrastRatio(candidate, background) >= kLeast) {
            return candidate;
        }
    }
    return towards;
}

}  // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double first = relativeLuminance(a);
    const double second = relativeLuminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

ChartColours ChartColours::of(const QPalette& palette) {
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    return {standingOut(mixed(base, text, 0.35), text, base),
            standingOut(palette.color(QPalette::Highlight), text, base), mixed(base, text, 0.15),
            text};
}

QColor categoryColour(const QPalette& palette, int index) {
    constexpr double kGoldenAngle = 137.508;  // each next hue far from all before
    const QColor highlight = palette.color(QPalette::Highlight).toHsv();
    const QColor colour = QColor::fromHsvF(float(std::fmod(kGoldenAngle * index, 360.0) / 360),
                                           std::max(highlight.hsvSaturationF(), 0.5f),
                                           std::max(highlight.valueF(), 0.5f));
    return standingOut(colour, palette.color(QPalette::Text), palette.color(QPalette::Base));
}

}  // namespace tesuko
