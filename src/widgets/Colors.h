#pragma once

#include <QColor>

namespace tombolix {

// A colour as the settings file stores it: blue * 65536 + green * 256 + red,
// or 0xFF000000 + n for colour n of the system colour scheme.
QColor colorFromSetting(int value);
int settingFromColor(const QColor& color);

} // namespace tombolix
