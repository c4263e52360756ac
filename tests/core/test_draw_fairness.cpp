// Whole draws with the system's random source: everyone who may win wins
// equally often, and nobody else ever wins. Each white-list mode is a case of
// its own, so the two run side by side.
#include "platform/Seams.h"
#include "store/Statements.h"
#include "support/ChiSquare.h"
#include "support/DrawRig.h"

#include <gtest/gtest.h>
#include <map>
#include <vector>

using namespace tombolix;
using namespace tombolix::test;

namespace {

class DrawFairness : public ::testing::TestWithParam<bool> {};

TEST_P(DrawFairness, EveryoneWhoMayWinIsEquallyLikelyAndNobodyElseWins) {
    const bool whiteListOn = GetParam();
    TestDatabase db;
    // Durability and a second copy of the program are no matter here; without
    // a sync per write and a file lock per read a draw is several times
    // quicker (some 0.2 ms).
    db.connection().execute("PRAGMA synchronous=OFF");
    db.connection().execute("PRAGMA locking_mode=EXCLUSIVE");
    Settings settings = defaultSettings();
    settings.IsBlank = whiteListOn;
    settings.iTime = 1;
    DrawSeams seams;
    auto boxes = RecordingMessageBox::install();
    SystemRandomSource random;
    DrawEngine engine{db.connection(), settings, seams.screen, seams.events, random, seams.sounds};
    // Twelve people: the same two numbers at both companies, two black-listed,
    // one earlier winner, two with white-list rows of other items.
    for (const char* n : {"1001", "P02", "P03", "P04", "P05", "P06"})
        db.addEmployee(n, QStringLiteral("A ") + n, "A", "dept");
    for (const char* n : {"1001", "P02", "P07", "P08", "P09", "P10"})
        db.addEmployee(n, QStringLiteral("B ") + n, "B", "dept");
    const int old = db.addItem("old", 1, 1, 1, 1);
    const int main = db.addItem("main", 1, 1, 2);
    const int later = db.addItem("later", 1, 1, 3);
    addBlackListed(db, "1001", "A");
    addBlackListed(db, "P02", "B");
    addWinner(db, "P03", "A", old);
    addWhiteListed(db, "P04", "A P04", "A", later, false);
    addWhiteListed(db, "P07", "B P07", "B", old, true);
    const QStringList mayWin = {"P02@A", "P05@A", "P06@A", "1001@B", "P08@B", "P09@B", "P10@B"};

    // Enough draws to see a 5% excess of one person with power 0.99: 159,789.
    const long long draws = (long long)chi::samplesFor(int(mayWin.size()));
    // A draw lets events run a few times; a hang still ends the test.
    seams.events.limit = int(draws) * 100;
    std::map<QString, long long> tally;
    for (long long i = 0; i < draws; ++i) {
        db.connection().execute(QStringLiteral("delete from AwardList where sTime = %1").arg(main));
        db.connection().execute(
            QStringLiteral("update AwardItem set ExcNum = 0, IsExec = 0 where RecNo = %1")
                .arg(main));
        // After a draw the items view shows the current item alone.
        engine.qAwardItem.setSql(sql::selectUnfinishedItems());
        engine.reopenViews();
        engine.takeCurrentItem();
        engine.rebuildPool();
        ASSERT_EQ(engine.CurrentItemNo, main) << "draw " << i;
        seams.events.afterSleeps(50, seams.events.sleeps(50) + 1,
                                 [&engine] { engine.ActStartExecute(); });
        engine.ActStartExecute();
        const QStringList won = winnersOf(db, main);
        ASSERT_EQ(won.size(), 1) << "draw " << i;
        ASSERT_TRUE(mayWin.contains(won.front())) << won.front().toStdString();
        ++tally[won.front()];
    }
    EXPECT_TRUE(boxes->shown().empty());
    std::vector<long long> observed;
    for (const QString& person : mayWin)
        observed.push_back(tally[person]);
    const chi::Verdict v = chi::test(observed);
    chi::report(whiteListOn ? "draw, white list on" : "draw, white list off", draws,
                int(mayWin.size()), v);
    EXPECT_GT(v.p, chi::kAlpha) << "chi2 " << v.statistic << " df " << v.df;
}

INSTANTIATE_TEST_SUITE_P(WhiteList, DrawFairness, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& mode) {
                             return mode.param ? "On" : "Off";
                         });

} // namespace
