#include "platform/qtcontrast.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace platform {
namespace {

// What every text aims at: see ReadableOn.
constexpr double kReadableAsDrawn = 5.5;

double Linear(double channel) { return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4); }

double Luminance(const QColor& color) {
    return 0.2126 * Linear(color.redF()) + 0.7152 * Linear(color.greenF()) + 0.0722 * Linear(color.blueF());
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
    const double first = Luminance(a), second = Luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QColor ReadableOn(const QColor& wanted, const QColor& background) {
    if (ContrastRatio(wanted, background) >= kReadableAsDrawn)
        return wanted;
    // Toward white on a background darker than the middle grey, toward black otherwise.
    const bool lighten = ContrastRatio(Qt::white, background) >= ContrastRatio(Qt::black, background);
    const QColor hsl = wanted.toHsl();
    const auto at = [&](double lightness) { return QColor(QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), lightness).rgb()); };
    double readable = lighten ? 1.0 : 0.0, unreadable = hsl.lightnessF();
    for (int step = 0; step < 24; ++step) {
        const double middle = (readable + unreadable) / 2;
        (ContrastRatio(at(middle), background) >= kReadableAsDrawn ? readable : unreadable) = middle;
    }
    QColor drawn = at(readable);
    // Rounding to 8 bits a channel may lose the last bit of contrast: one more step away.
    for (int nudge = 1; ContrastRatio(drawn, background) < kReadableAsDrawn && nudge < 256; ++nudge)
        drawn = at(std::clamp(readable + (lighten ? nudge : -nudge) / 255.0, 0.0, 1.0));
    return drawn;
}

QPalette ReadablePalette(QPalette palette) {
    constexpr std::pair<QPalette::ColorRole, QPalette::ColorRole> kTextOn[] = {
        {QPalette::WindowText, QPalette::Window},
        {QPalette::Text, QPalette::Base},
        {QPalette::ButtonText, QPalette::Button},
        {QPalette::ToolTipText, QPalette::ToolTipBase}};
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        for (const auto& [text, background] : kTextOn)
            palette.setColor(group, text, ReadableOn(palette.color(group, text), palette.color(group, background)));
        // Flat buttons are drawn on the window's colour. Where the text had to move away from its button
        // to read there (a light button on a dark window), the button gives way, as a selection does.
        palette.setColor(group, QPalette::ButtonText,
                         ReadableOn(palette.color(group, QPalette::ButtonText), palette.color(group, QPalette::Window)));
        for (const auto& [background, text] : {std::pair{QPalette::Button, QPalette::ButtonText}, std::pair{QPalette::Highlight, QPalette::HighlightedText}})
            palette.setColor(group, background, ReadableOn(palette.color(group, background), palette.color(group, text)));
    }
    return palette;
}

}  // namespace platform
