#pragma once

#include <QString>
#include <QStringList>

namespace tombolix {

struct Settings;

// Where one winner label stands inside the winner panel and what it says.
// The panel is a grid of `perRow` columns with as many rows as one draw's
// winners need; labels are 5 pixels apart and start 20 pixels in.
struct WinnerLabelLayout {
    QString objectName; // "Lab" + winner index
    int rows = 0;
    int columns = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    QStringList lines; // name, then "(department)", then "(number)"

    QString text() const { return lines.join(QLatin1Char('\n')); }
};

// The geometry alone. perRow below 1 counts as 1 and perDraw below 1 as 1, so
// a hand-edited settings file cannot divide by zero; a label never gets
// less than one pixel either way.
WinnerLabelLayout winnerLabelGeometry(int panelWidth, int panelHeight, int perRow, int perDraw,
                                      int winnerIndex);

QStringList winnerLabelLines(const QString& number, const QString& name, const QString& department,
                             bool showDepartment, bool showNumber);

// Both, from the settings ShowR, ShowDept and ShowNO.
WinnerLabelLayout winnerLabelLayout(const Settings& settings, int panelWidth, int panelHeight,
                                    const QString& number, const QString& name, int perDraw,
                                    int winnerIndex, const QString& department);

} // namespace tombolix
