// Who wins a draw, how a draw moves through its states, and what the screen
// is told on the way.
#include "support/DrawRig.h"

#include <QSet>
#include <functional>
#include <gtest/gtest.h>

using namespace tombolix;
using namespace tombolix::test;

namespace {

const QString kNoItemMessage = QStringLiteral("未设置奖项，请先设置奖项！");
const QString kEmptyPoolMessage = QStringLiteral("员工资料为空，请先导入员工资料!");
const QString kNobodyLeftMessage = QStringLiteral("没有可以中奖的人员了！");
const QString kNoItemStatus = QStringLiteral("未设置奖项或全部奖项已抽完!");

QSet<QString> asSet(const QStringList& list) {
    return QSet<QString>(list.begin(), list.end());
}

void expectIdle(DrawRig& r) {
    EXPECT_TRUE(r.seams.screen.commandsEnabled);
    EXPECT_FALSE(r.engine.Rolling);
    EXPECT_FALSE(r.engine.StopRequested);
    EXPECT_FALSE(r.engine.isDrawing());
}

// ---- Who may win -----------------------------------------------------------

TEST(DrawRules, OnlyPeopleFreeOfEveryListAreFixedFromThePool) {
    for (bool whiteListOn : {false, true}) {
        SCOPED_TRACE(whiteListOn ? "white list on" : "white list off");
        DrawRig r;
        r.settings.IsBlank = whiteListOn;
        r.addPeople(
            {"P01", "P02", "P03", "P04", "P05", "P06", "P07", "P08", "P09", "P10", "P11", "P12"});
        const int old = r.db.addItem("old", 1, 1, 1, 1);
        const int main = r.db.addItem("main", 6, 6, 2);
        const int later = r.db.addItem("later", 3, 1, 3);
        addBlackListed(r.db, "P01", "A");
        addBlackListed(r.db, "P02", "A");
        addWinner(r.db, "P03", "A", old);
        addWhiteListed(r.db, "P04", "name P04", "A", old, true);    // used, another item
        addWhiteListed(r.db, "P05", "name P05", "A", main, true);   // used, this item
        addWhiteListed(r.db, "P06", "name P06", "A", later, false); // waits for another item
        r.refresh();
        ASSERT_EQ(r.engine.CurrentItemNo, main);

        r.drawOnce();

        EXPECT_EQ(asSet(winnersOf(r.db, main)),
                  asSet({"P07@A", "P08@A", "P09@A", "P10@A", "P11@A", "P12@A"}));
        EXPECT_EQ(winnersOf(r.db).size(), 7);
        // The excluded did pass over the screen; they were only never fixed.
        int excludedShown = 0;
        for (const QString& text : r.seams.screen.rollingNames)
            for (const char* n : {" name P01", " name P02", " name P03", " name P06"})
                excludedShown += text.endsWith(QLatin1String(n));
        EXPECT_GT(excludedShown, 0);
    }
}

TEST(DrawRules, SameNumberAtAnotherCompanyIsAnotherPerson) {
    struct Case {
        const char* what;
        std::function<void(TestDatabase&)> keepOutAtA;
    } cases[] = {
        {"black-listed", [](TestDatabase& d) { addBlackListed(d, "1001", "A"); }},
        {"earlier winner", [](TestDatabase& d) { addWinner(d, "1001", "A", 99); }},
        {"on the white list", [](TestDatabase& d) { addWhiteListed(d, "1001", "x", "A", 99); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DrawRig r;
        r.db.addEmployee("1001", "at A", "A");
        r.db.addEmployee("1001", "at B", "B");
        const int item = r.db.addItem("main", 1, 1);
        c.keepOutAtA(r.db);
        r.refresh();
        // Chance keeps offering 1001 at A: the draw must look past it.
        r.seams.random.alwaysForCount(2, 0);

        r.drawOnce();

        EXPECT_EQ(winnersOf(r.db, item), QStringList{"1001@B"});
    }
}

TEST(DrawRules, WhiteListEntriesOfTheItemWinFirstChosenAtRandom) {
    DrawRig r;
    r.addPeople({"P1", "P2", "P3"});
    const int main = r.db.addItem("main", 5, 3);
    addWhiteListed(r.db, "W1", "white one", "X", main, false, "d1");
    addWhiteListed(r.db, "W2", "white two", "X", main, false, "d2");
    r.refresh();
    r.seams.random.scriptForCount(2, {1}); // the first choice of the two: W2

    r.drawOnce();

    const QStringList winners = winnersOf(r.db, main);
    ASSERT_EQ(winners.size(), 3);
    EXPECT_EQ(winners.mid(0, 2), (QStringList{"W2@X", "W1@X"}));
    EXPECT_TRUE(winners[2].endsWith("@A"));
    EXPECT_EQ(scalar(r.db, "select count(*) from Award where Checked = 1"), 2);
    ASSERT_EQ(r.seams.screen.labels.size(), 3u);
    EXPECT_EQ(r.seams.screen.labels[0].name, "white two");
    EXPECT_EQ(r.seams.screen.labels[0].department, "d2");
}

TEST(DrawRules, WhiteListEntryOfSomeoneWhoWonIsPassedOver) {
    struct Case {
        const char* what;
        bool openEntryAfterIt;
        QString winner;
    } cases[] = {
        {"the only entry", false, "P1@A"},
        {"beside an entry still open", true, "W2@X"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DrawRig r;
        r.addPeople({"P1"});
        const int old = r.db.addItem("old", 1, 1, 1, 1);
        const int main = r.db.addItem("main", 5, 1, 2);
        addWinner(r.db, "W1", "X", old);
        const int passedOver = addWhiteListed(r.db, "W1", "w1", "X", main);
        if (c.openEntryAfterIt)
            addWhiteListed(r.db, "W2", "w2", "X", main);
        r.refresh();
        r.seams.random.scriptForCount(2, {0}); // W1, were it offered

        r.drawOnce();

        EXPECT_EQ(winnersOf(r.db, main), QStringList{c.winner});
        EXPECT_EQ(
            scalar(r.db,
                   QStringLiteral("select Checked from Award where RecNo = %1").arg(passedOver)),
            0);
        EXPECT_EQ(r.seams.screen.labels.size(), 1u);
    }
}

TEST(DrawRules, WinnerMarksTheWhiteListEntryOfTheirOwnCompany) {
    DrawRig r;
    r.addPeople({"P1"});
    const int main = r.db.addItem("main", 5, 1);
    const int atA = addWhiteListed(r.db, "1001", "at A", "A", main);
    const int atB = addWhiteListed(r.db, "1001", "at B", "B", main);
    r.refresh();
    r.seams.random.scriptForCount(2, {1}); // 1001 at B

    r.drawOnce();

    EXPECT_EQ(winnersOf(r.db), QStringList{"1001@B"});
    const QString checked = QStringLiteral("select Checked from Award where RecNo = %1");
    EXPECT_EQ(scalar(r.db, checked.arg(atA)), 0);
    EXPECT_EQ(scalar(r.db, checked.arg(atB)), 1);
}

TEST(DrawRules, BlanksAroundAStoredNumberDoNotHideItFromTheLists) {
    DrawRig r;
    r.db.addEmployee(" 1001 ", "blank", "A");
    r.db.addEmployee("1002", "plain", "A");
    r.db.addItem("main", 1, 1);
    addBlackListed(r.db, " 1001 ", "A");
    r.refresh();
    r.seams.random.alwaysForCount(2, 0);

    r.drawOnce();

    EXPECT_EQ(winnersOf(r.db), QStringList{"1002@A"});
}

// ---- Prize items -----------------------------------------------------------

TEST(DrawItems, ItemFillingUpEndsTheDrawAndTheNextBySeqBecomesCurrent) {
    DrawRig r;
    r.addPeople({"P1", "P2", "P3", "P4", "P5"});
    const int a = r.db.addItem("A", 5, 3, 1, 4);
    r.db.addItem("B", 4, 2, 3);
    const int c = r.db.addItem("C", 4, 2, 2);
    r.refresh();
    ASSERT_EQ(r.engine.CurrentItemNo, a);

    r.drawOnce();

    EXPECT_EQ(winnersOf(r.db, a).size(), 1);
    EXPECT_EQ(r.itemField(a, "ExcNum"), 5);
    EXPECT_EQ(r.itemField(a, "IsExec"), 1);
    ASSERT_EQ(r.seams.screen.labels.size(), 1u);
    EXPECT_EQ(r.seams.screen.labels[0].perDraw, 3); // sized for a grid of three
    EXPECT_EQ(r.engine.CurrentItemNo, c);
    EXPECT_EQ(r.engine.PerDraw, 2);
    EXPECT_EQ(r.seams.screen.statusLine, "现在抽取:C, 奖品:C奖品, 共:4人,准备抽取第:1位.");
    EXPECT_TRUE(r.seams.sounds.urls.last().endsWith("/end.wav"));
    expectIdle(r);
}

TEST(DrawItems, ItemAlreadyFullAtTheStartFixesNobodyAndIsClosed) {
    DrawRig r;
    r.addPeople({"P1", "P2"});
    const int a = r.db.addItem("A", 2, 1, 1, 2);
    const int b = r.db.addItem("B", 2, 1, 2);
    r.db.connection().execute("update AwardItem set IsExec = 0");
    r.refresh();
    ASSERT_EQ(r.engine.CurrentItemNo, a);

    r.drawOnce();

    EXPECT_TRUE(winnersOf(r.db).isEmpty());
    EXPECT_EQ(r.itemField(a, "IsExec"), 1);
    EXPECT_EQ(r.engine.CurrentItemNo, b);
}

TEST(DrawItems, ItemWithoutWinnersPerDrawFixesNobodyAndStaysCurrent) {
    for (int perDraw : {0, -2}) {
        SCOPED_TRACE(perDraw);
        DrawRig r;
        r.addPeople({"P1"});
        const int item = r.db.addItem("A", 3, perDraw);
        r.refresh();

        r.drawOnce();

        EXPECT_TRUE(winnersOf(r.db).isEmpty());
        EXPECT_EQ(r.engine.CurrentItemNo, item);
        EXPECT_TRUE(r.seams.screen.statusLine.endsWith("准备抽取第:1位."));
    }
}

TEST(DrawItems, WithoutAnItemTheDrawRollsAndFixesNobody) {
    DrawRig r;
    r.addPeople({"P1", "P2"});
    r.refresh();

    r.drawOnce(3);

    ASSERT_EQ(r.boxes->shown().size(), 1u);
    EXPECT_EQ(r.boxes->shown()[0].caption, "系统提示");
    EXPECT_EQ(r.boxes->shown()[0].text, kNoItemMessage);
    EXPECT_EQ(r.boxes->shown()[0].icon, MessageBox::Icon::Information);
    EXPECT_GE(r.seams.events.sleeps(50), 3);
    EXPECT_TRUE(winnersOf(r.db).isEmpty());
    EXPECT_EQ(r.seams.screen.statusLine, kNoItemStatus);
    EXPECT_TRUE(r.seams.sounds.urls.last().endsWith("/end.wav"));
}

TEST(DrawItems, FullFirstItemBySeqLeavesNoCurrentItemAndNothingIsCounted) {
    DrawRig r;
    r.addPeople({"P1", "P2"});
    const int full = r.db.addItem("full", 2, 1, 1, 2);
    const int open = r.db.addItem("open", 5, 2, 2);
    r.db.connection().execute("update AwardItem set IsExec = 0");
    r.refresh();
    r.engine.CurrentItemNo = open;
    r.engine.LoadCurrentItem();
    ASSERT_EQ(r.engine.PerDraw, 2);

    r.engine.CurrentItemNo = 0;
    r.engine.LoadCurrentItem();
    EXPECT_EQ(r.engine.CurrentItemNo, 0);
    EXPECT_EQ(r.engine.PerDraw, 0);
    EXPECT_EQ(r.seams.screen.statusLine, kNoItemStatus);

    r.drawOnce();
    EXPECT_TRUE(winnersOf(r.db).isEmpty());
    EXPECT_EQ(r.itemField(full, "ExcNum"), 2);
}

TEST(DrawItems, OfTwoOpenItemsWithTheSameSeqTheOlderComesFirst) {
    DrawRig r;
    r.db.addItem("later seq", 3, 1, 2);
    const int older = r.db.addItem("older", 3, 1, 1);
    r.db.addItem("newer", 3, 1, 1);
    EXPECT_EQ(r.engine.FirstOpenItem(), older);
}

// ---- Screen texts ----------------------------------------------------------

TEST(DrawScreenTexts, StatusLineTellsWhatIsDrawn) {
    DrawRig r;
    EXPECT_EQ(r.engine.idleStatusText(), "奖项已经抽完，请先设置奖项！");

    r.addPeople({"P1", "P2", "P3"});
    r.db.addItem("一等奖", 5, 1, 1, 2);
    r.refresh();
    const QString drawing = "现在抽取:一等奖, 奖品:一等奖奖品, 共:5人,正在抽取第3位.";
    EXPECT_EQ(r.engine.idleStatusText(), drawing);

    r.drawOnce();
    EXPECT_TRUE(r.seams.screen.statusLines.contains(drawing));
    EXPECT_EQ(r.seams.screen.statusLine,
              "现在抽取:一等奖, 奖品:一等奖奖品, 共:5人,准备抽取第:4位.");
}

TEST(DrawScreenTexts, RollingNumberAndNameFollowTheSettings) {
    struct Case {
        int digits;
        bool company, department;
        QString number, shownNumber, shownName;
    } cases[] = {
        {6, true, true, "1234", "001234", "本次中奖者是: 华东 生产部 张三"},
        {6, false, false, "12345678", "123456", "本次中奖者是: 张三"},
        {0, true, false, "0042", "0042", "本次中奖者是: 华东 张三"},
        {0, false, true, "7", "7", "本次中奖者是: 生产部 张三"},
    };
    DrawRig r;
    for (const Case& c : cases) {
        r.settings.gdNumer = c.digits;
        r.settings.gdShowCom = c.company;
        r.settings.gdShowDept = c.department;
        r.engine.ShowCandidate(c.number, "华东", "生产部", "张三");
        EXPECT_EQ(r.seams.screen.rollingNumber, c.shownNumber);
        EXPECT_EQ(r.seams.screen.rollingName, c.shownName);
    }
}

TEST(DrawScreenTexts, RollingShowsValuesWithoutSurroundingBlanks) {
    DrawRig r;
    r.db.addEmployee(" 1001\t", " 张三 ", "华东 ", "\n生产部");
    r.refresh();
    ASSERT_TRUE(r.engine.RollingStep());
    EXPECT_EQ(r.seams.screen.rollingNumber, "1001");
    EXPECT_EQ(r.seams.screen.rollingName, "本次中奖者是: 华东 生产部 张三");
}

TEST(PadNumber, CutsOrFillsToTheWidth) {
    const QString wide = QString::fromUcs4(U"\U00020000");
    struct Case {
        QString text;
        int width;
        bool atRight;
        QString padded;
    } cases[] = {
        {"1234", 6, false, "001234"},
        {"12345678", 6, false, "123456"},
        {"123456", 6, false, "123456"},
        {"12", 4, true, "1200"},
        {"", 3, false, "000"},
        {"1234", 0, false, ""},
        {"1234", -1, false, ""},
        {"工号7", 5, false, "00工号7"},
        {wide + "12", 2, false, wide + "1"}, // counted in characters, never split
        {wide, 3, false, "00" + wide},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DrawEngine::PadNumber(c.text, c.width, c.atRight), c.padded)
            << c.text.toStdString() << " to " << c.width;
}

TEST(DrawScreenTexts, EveryWinnerIsOnScreenBeforeThePause) {
    DrawRig r;
    r.addPeople({"P1", "P2", "P3", "P4"});
    r.db.addItem("main", 3, 3);
    r.refresh();
    int pauses = 0;
    r.seams.events.onSleep = [&](int ms) {
        if (ms != 1000)
            return;
        ++pauses;
        ASSERT_EQ(r.seams.screen.labels.size(), size_t(pauses));
        EXPECT_EQ(r.seams.screen.repaints, pauses);
        EXPECT_EQ(r.seams.log.last(), "showNow");
        EXPECT_TRUE(r.seams.screen.rollingName.endsWith(r.seams.screen.labels.back().name));
    };

    r.drawOnce();

    EXPECT_EQ(pauses, 3);
    EXPECT_EQ(r.seams.events.sleeps(10), 3 * (r.settings.iTime + 1));
}

TEST(DrawScreenTexts, RandomIndexesAreDrawnFromThePoolList) {
    DrawRig r;
    r.settings.IsBlank = false;
    r.addPeople({"P1", "P2", "P3"});
    r.db.addItem("main", 5, 2);
    r.refresh();
    // The view now holds a row that the list does not.
    r.addPeople({"P4"});
    r.engine.qEmpNoList.close();
    r.engine.qEmpNoList.open();

    r.drawOnce(5);

    ASSERT_FALSE(r.seams.random.counts().empty());
    for (int count : r.seams.random.counts())
        EXPECT_EQ(count, 3);
    EXPECT_EQ(winnersOf(r.db).size(), 2);
}

// ---- States and nested commands -------------------------------------------

TEST(DrawStates, NestedCommandsStopAndCutShortAsTheOperatorAsks) {
    using Script = std::function<void(DrawEngine&, ScriptedEventPump&)>;
    struct Case {
        const char* what;
        Script script;
        int winners;
        bool commandsDuringPause;
    } cases[] = {
        {"stop, then start again while fixing",
         [](DrawEngine& e, ScriptedEventPump& p) {
             p.afterSleeps(50, 2, [&e] { e.ActStartExecute(); });
             p.afterSleeps(10, 2, [&e] { e.ActStartExecute(); });
         },
         3, true},
        {"close while rolling",
         [](DrawEngine& e, ScriptedEventPump& p) {
             p.afterSleeps(50, 2, [&e] { EXPECT_TRUE(e.requestClose()); });
         },
         3, false},
        {"stop, close while fixing, then start",
         [](DrawEngine& e, ScriptedEventPump& p) {
             p.afterSleeps(50, 2, [&e] { e.ActStartExecute(); });
             p.afterSleeps(10, 2, [&e] { EXPECT_TRUE(e.requestClose()); });
             p.afterSleeps(10, 3, [&e] { e.ActStartExecute(); });
         },
         1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DrawRig r;
        r.addPeople({"P1", "P2", "P3", "P4", "P5", "P6"});
        r.db.addItem("main", 10, 3);
        r.refresh();
        std::vector<bool> commandsInPause;
        r.seams.events.onSleep = [&](int ms) {
            if (ms == 1000)
                commandsInPause.push_back(r.seams.screen.commandsEnabled);
        };
        c.script(r.engine, r.seams.events);

        r.engine.ActStartExecute();

        EXPECT_EQ(winnersOf(r.db).size(), c.winners);
        EXPECT_EQ(r.seams.screen.panelClears, 1); // no second draw began inside it
        EXPECT_EQ(commandsInPause, std::vector<bool>(size_t(c.winners), c.commandsDuringPause));
        EXPECT_TRUE(r.seams.sounds.urls.last().endsWith("/end.wav"));
        expectIdle(r);
        EXPECT_FALSE(r.engine.requestClose()); // idle: the exit question's turn
    }
}

TEST(DrawStates, StartDisablesTheCommandsAndStartsTheSound) {
    DrawRig r;
    r.addPeople({"P1"});
    r.db.addItem("main", 1, 1);
    r.refresh();
    r.seams.events.afterSleeps(50, 1, [&r] {
        EXPECT_FALSE(r.seams.screen.commandsEnabled);
        EXPECT_TRUE(r.engine.Rolling);
        r.engine.ActStartExecute();
        EXPECT_TRUE(r.seams.screen.commandsEnabled);
        EXPECT_TRUE(r.engine.StopRequested);
    });

    r.engine.ActStartExecute();

    const QString dir = r.db.dir();
    ASSERT_GE(r.seams.sounds.urls.size(), 3);
    EXPECT_EQ(r.seams.sounds.urls.first(), dir + "begin.wav");
    EXPECT_EQ(r.seams.sounds.urls.last(), dir + "end.wav");
    const int firstUrl = int(r.seams.log.indexOf("url begin.wav"));
    EXPECT_EQ(r.seams.log.mid(firstUrl - 1, 3), (QStringList{"close", "url begin.wav", "hide"}));
}

// ---- Nothing to draw from --------------------------------------------------

TEST(DrawStates, StartWithAnEmptyPoolEndsAtOnceAndTheScreenStaysUsable) {
    DrawRig r;
    r.db.addItem("main", 3, 1);
    r.refresh();

    r.engine.ActStartExecute();

    EXPECT_EQ(r.messages(), QStringList{kEmptyPoolMessage});
    EXPECT_EQ(r.boxes->shown()[0].caption, "系统提示");
    EXPECT_EQ(r.boxes->shown()[0].icon, MessageBox::Icon::Information);
    EXPECT_TRUE(r.seams.sounds.urls.isEmpty());
    expectIdle(r);

    r.addPeople({"P1"});
    r.refresh();
    r.drawOnce();
    EXPECT_EQ(winnersOf(r.db), QStringList{"P1@A"});
}

TEST(DrawStates, NobodyLeftToWinEndsTheDrawCleanly) {
    // Two places to fill; the second finds nobody either way.
    struct Case {
        const char* what;
        bool whiteListEntry;
        QStringList winners;
    } cases[] = {
        {"nobody at all", false, {}},
        {"the white list still has someone", true, {"W1@X"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DrawRig r;
        r.addPeople({"P1", "P2", "P3"});
        const int old = r.db.addItem("old", 1, 1, 1, 1);
        const int main = r.db.addItem("main", 5, 2, 2);
        addBlackListed(r.db, "P1", "A");
        addWinner(r.db, "P2", "A", old);
        addWhiteListed(r.db, "P3", "p3", "A", old, true);
        if (c.whiteListEntry)
            addWhiteListed(r.db, "W1", "w1", "X", main);
        r.refresh();

        r.drawOnce();

        EXPECT_EQ(r.messages(), QStringList{kNobodyLeftMessage});
        EXPECT_EQ(winnersOf(r.db, main), c.winners);
        EXPECT_EQ(r.itemField(main, "ExcNum"), c.winners.size());
        expectIdle(r);
    }
}

TEST(DrawStates, PoolEmptiedByARefreshDuringTheDrawEndsIt) {
    DrawRig r;
    r.addPeople({"P1", "P2"});
    r.db.addItem("main", 3, 1);
    r.refresh();
    r.seams.events.afterSleeps(50, 2, [&r] {
        r.db.connection().execute("delete from EmpNo");
        r.refresh();
    });

    r.engine.ActStartExecute();

    EXPECT_EQ(r.messages(), QStringList{kEmptyPoolMessage});
    EXPECT_TRUE(winnersOf(r.db).isEmpty());
    expectIdle(r);
}

TEST(DrawStates, PoolRebuiltInsideItsOwnRebuildIsListedOnce) {
    DrawRig r;
    r.addPeople({"P1", "P2", "P3", "P4", "P5"});
    r.engine.reopenViews();
    r.seams.events.atCall(2, [&r] { r.refresh(); });

    r.engine.rebuildPool();

    EXPECT_EQ(r.engine.PoolKeys, (std::vector<int>{1, 2, 3, 4, 5}));
}

} // namespace
