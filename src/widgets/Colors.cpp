#include "widgets/Colors.h"

#include <cstdint>

namespace tombolix {

namespace {
// The classic desktop colour scheme, by system colour number; the screen's
// look does not depend on the theme of the machine it runs on.
const QRgb kSystemColors[] = {
    qRgb(200, 200, 200), // 0 scroll bar
    qRgb(0, 0, 0),       // 1 desktop
    qRgb(153, 180, 209), // 2 active caption
    qRgb(191, 205, 219), // 3 inactive caption
    qRgb(240, 240, 240), // 4 menu
    qRgb(255, 255, 255), // 5 window background
    qRgb(100, 100, 100), // 6 window frame
    qRgb(0, 0, 0),       // 7 menu text
    qRgb(0, 0, 0),       // 8 window text
    qRgb(0, 0, 0),       // 9 caption text
    qRgb(180, 180, 180), // 10 active border
    qRgb(244, 247, 252), // 11 inactive border
    qRgb(171, 171, 171), // 12 application workspace
    qRgb(0, 120, 215),   // 13 highlight
    qRgb(255, 255, 255), // 14 highlight text
    qRgb(240, 240, 240), // 15 button face
    qRgb(160, 160, 160), // 16 button shadow
    qRgb(109, 109, 109), // 17 grey text
    qRgb(0, 0, 0),       // 18 button text
    qRgb(0, 0, 0),       // 19 inactive caption text
    qRgb(255, 255, 255), // 20 button highlight
    qRgb(105, 105, 105), // 21 3-D dark shadow
    qRgb(227, 227, 227), // 22 3-D light
    qRgb(0, 0, 0),       // 23 info text
    qRgb(255, 255, 225), // 24 info background
};
} // namespace

QColor colorFromSetting(int value) {
    const auto bits = static_cast<std::uint32_t>(value);
    if ((bits & 0xFF000000u) == 0xFF000000u) {
        const std::uint32_t n = bits & 0x00FFFFFFu;
        return n < sizeof kSystemColors / sizeof kSystemColors[0] ? QColor(kSystemColors[n])
                                                                  : QColor(Qt::black);
    }
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

int settingFromColor(const QColor& color) {
    return color.red() + color.green() * 256 + color.blue() * 65536;
}

} // namespace tombolix
