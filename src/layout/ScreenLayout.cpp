#include "layout/ScreenLayout.h"

namespace tombolix::layout {

int centred(int screenSize, int size) { return (screenSize - size) / 2; }

int buttonBarTop(int screenHeight, int buttonTop, int barHeight) {
    return screenHeight > buttonTop ? buttonTop : screenHeight - 30 - barHeight;
}

QString idleNumber(int digits) {
    if (digits == 0)
        return QStringLiteral("0");
    return QStringLiteral("00000000000000000000").left(digits < 0 ? 0 : digits);
}

} // namespace tombolix::layout
