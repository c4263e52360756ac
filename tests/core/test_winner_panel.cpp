// Where a winner label stands in the winner panel and what it says.
#include "engine/WinnerPanelLayout.h"
#include "store/Settings.h"

#include <gtest/gtest.h>

using namespace tombolix;

namespace {

TEST(WinnerPanel, LabelsFillAGridSizedForTheDrawsWinners) {
    struct Case {
        const char* what;
        int perRow, perDraw, index, panelWidth, panelHeight;
        int rows, height, width, left, top;
    } cases[] = {
        {"fifth of five, four to a row", 4, 5, 5, 489, 313, 2, 146, 112, 20, 171},
        {"eighth of eight fills two rows exactly", 4, 8, 8, 489, 313, 2, 146, 112, 371, 171},
        {"first of three with one place left", 4, 3, 1, 489, 313, 1, 303, 112, 20, 20},
        {"one to a row", 1, 3, 2, 489, 313, 3, 94, 479, 20, 119},
        {"no columns set counts as one", 0, 2, 2, 489, 313, 2, 146, 479, 20, 171},
        {"a panel too small still gives a pixel", 4, 4, 1, 20, 5, 1, 1, 1, 20, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const WinnerLabelLayout l =
            winnerLabelGeometry(c.panelWidth, c.panelHeight, c.perRow, c.perDraw, c.index);
        EXPECT_EQ(l.rows, c.rows);
        EXPECT_EQ(l.height, c.height);
        EXPECT_EQ(l.width, c.width);
        EXPECT_EQ(l.left, c.left);
        EXPECT_EQ(l.top, c.top);
        EXPECT_EQ(l.objectName, QStringLiteral("Lab%1").arg(c.index));
    }
}

TEST(WinnerPanel, DepartmentLineComesBeforeNumberLine) {
    struct Case {
        bool department, number;
        QStringList lines;
    } cases[] = {
        {true, true, {"张三", "(生产部)", "(0042)"}},
        {false, false, {"张三"}},
        {true, false, {"张三", "(生产部)"}},
        {false, true, {"张三", "(0042)"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(winnerLabelLines("0042", "张三", "生产部", c.department, c.number), c.lines);
}

TEST(WinnerPanel, LayoutTakesColumnsAndLinesFromTheSettings) {
    Settings settings;
    settings.ShowR = 4;
    settings.ShowDept = true;
    settings.ShowNO = true;
    const WinnerLabelLayout l = winnerLabelLayout(settings, 489, 313, "7", "李四", 5, 5, "财务");
    EXPECT_EQ(l.left, 20);
    EXPECT_EQ(l.top, 171);
    EXPECT_EQ(l.text(), "李四\n(财务)\n(7)");
}

} // namespace
