#include "engine/WinnerPanelLayout.h"

#include "store/Settings.h"

#include <algorithm>

namespace tombolix {

namespace {
constexpr int kMargin = 20;
constexpr int kGap = 5;
} // namespace

WinnerLabelLayout winnerLabelGeometry(int panelWidth, int panelHeight, int perRow, int perDraw,
                                      int winnerIndex) {
    WinnerLabelLayout layout;
    const int columns = std::max(perRow, 1);
    const int winners = std::max(perDraw, 1);
    layout.objectName = QStringLiteral("Lab") + QString::number(winnerIndex);
    layout.columns = columns;
    layout.rows = winners / columns + (winners % columns != 0 ? 1 : 0);
    // Real divisions cut toward zero, as the panel has always been laid out.
    layout.height = std::max(int(double(panelHeight) / layout.rows - 2 * kGap), 1);
    layout.width = std::max(int(double(panelWidth) / columns - 2 * kGap), 1);
    const int row = (winnerIndex - 1) / columns;
    const int column = (winnerIndex - 1) % columns;
    layout.top = (layout.height + kGap) * row + kMargin;
    layout.left = (layout.width + kGap) * column + kMargin;
    return layout;
}

QStringList winnerLabelLines(const QString& number, const QString& name, const QString& department,
                             bool showDepartment, bool showNumber) {
    QStringList lines{name};
    if (showDepartment)
        lines << QLatin1Char('(') + department + QLatin1Char(')');
    if (showNumber)
        lines << QLatin1Char('(') + number + QLatin1Char(')');
    return lines;
}

WinnerLabelLayout winnerLabelLayout(const Settings& settings, int panelWidth, int panelHeight,
                                    const QString& number, const QString& name, int perDraw,
                                    int winnerIndex, const QString& department) {
    WinnerLabelLayout layout =
        winnerLabelGeometry(panelWidth, panelHeight, settings.ShowR, perDraw, winnerIndex);
    layout.lines = winnerLabelLines(number, name, department, settings.ShowDept, settings.ShowNO);
    return layout;
}

} // namespace tombolix
