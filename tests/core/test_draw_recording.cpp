// A winner is recorded whole or not at all: the raised count, the Winner
// record and the used white-list entry, in the database and in the views.
#include "support/DrawRig.h"

#include <gtest/gtest.h>

using namespace tombolix;
using namespace tombolix::test;

namespace {

struct Failure {
    const char* what;
    const char* trigger; // created before the record, dropped after it
    int nameLength;      // of the winner's name; over 50 is refused
};

const Failure kFailures[] = {
    {"the count cannot be raised",
     "create trigger fail before update on AwardItem begin select raise(abort, 'locked'); end", 4},
    {"the Winner record cannot be written",
     "create trigger fail before insert on AwardList begin select raise(abort, 'disk full'); end",
     4},
    {"the winner's name is too long", nullptr, 51},
    {"the white-list entry cannot be marked",
     "create trigger fail before update on Award begin select raise(abort, 'locked'); end", 4},
};

TEST(DrawRecording, FailedRecordLeavesDatabaseAndViewsAsBeforeTheWinner) {
    for (const Failure& f : kFailures) {
        SCOPED_TRACE(f.what);
        DrawRig r;
        r.addPeople({"1001"});
        const int item = r.db.addItem("main", 1, 1); // this winner fills it
        addWhiteListed(r.db, "1001", "name 1001", "A", item);
        r.refresh();
        r.engine.LoadCurrentItem();
        r.engine.LoadWhiteList(item);
        r.engine.Rolling = true;
        if (f.trigger)
            r.db.connection().executeScript(QString::fromUtf8(f.trigger));
        const QString before = resultsSnapshot(r.db);
        const QString name(f.nameLength, QLatin1Char('n'));

        EXPECT_THROW(r.engine.RecordWinner("1001", name, QString::number(item), "A"), DbError);

        EXPECT_EQ(resultsSnapshot(r.db), before);
        EXPECT_EQ(r.engine.CurDrawn, 0);
        EXPECT_TRUE(r.engine.Rolling);
        EXPECT_FALSE(r.engine.IsExcluded("1001", "A"));
        ASSERT_TRUE(r.engine.qAwardItem.locate("RecNo", {item}));
        EXPECT_EQ(r.engine.qAwardItem.asInteger("ExcNum"), 0);
        ASSERT_TRUE(r.engine.qAward.locate("sNo;sCompCode", {"1001", "A"}));
        EXPECT_FALSE(r.engine.qAward.asBoolean("Checked"));

        // Once the cause is gone the same winner goes through, all of it.
        if (f.trigger)
            r.db.connection().executeScript("drop trigger fail");
        EXPECT_TRUE(r.engine.RecordWinner("1001", "name 1001", QString::number(item), "A"));
        EXPECT_EQ(winnersOf(r.db, item), QStringList{"1001@A"});
        EXPECT_EQ(r.itemField(item, "ExcNum"), 1);
        EXPECT_EQ(r.itemField(item, "IsExec"), 1);
        EXPECT_EQ(scalar(r.db, "select Checked from Award"), 1);
        EXPECT_EQ(r.engine.CurDrawn, 1);
        EXPECT_FALSE(r.engine.Rolling);
    }
}

TEST(DrawRecording, RecordingSomeoneWhoAlreadyWonWritesNothing) {
    DrawRig r;
    const int item = r.db.addItem("main", 5, 1);
    addWinner(r.db, "1001", "A", item);
    r.db.connection().execute("update AwardItem set ExcNum = 1");
    r.refresh();
    const QString before = resultsSnapshot(r.db);

    EXPECT_FALSE(r.engine.RecordWinner("1001", "x", QString::number(item), "A"));
    EXPECT_EQ(resultsSnapshot(r.db), before);
    EXPECT_TRUE(r.engine.RecordWinner("1001", "x", QString::number(item), "B"));
}

TEST(DrawRecording, DatabaseErrorMidDrawLeavesTheScreenIdleAndUsable) {
    DrawRig r;
    r.addPeople({"P1", "P2", "P3"});
    const int item = r.db.addItem("main", 5, 2);
    r.refresh();
    r.db.connection().executeScript(
        "create trigger fail before insert on AwardList begin select raise(abort, 'disk full'); "
        "end");
    const QString before = resultsSnapshot(r.db);
    // Stopped by the close command, which leaves the commands off.
    r.seams.events.afterSleeps(50, 2, [&r] { r.engine.requestClose(); });

    EXPECT_THROW(r.engine.ActStartExecute(), DbError);

    EXPECT_EQ(resultsSnapshot(r.db), before);
    EXPECT_TRUE(r.seams.screen.labels.empty()); // nobody shown as a winner who is not one
    EXPECT_TRUE(r.seams.screen.commandsEnabled);
    EXPECT_FALSE(r.engine.Rolling || r.engine.StopRequested || r.engine.isDrawing());

    r.db.connection().executeScript("drop trigger fail");
    r.drawOnce();
    EXPECT_EQ(winnersOf(r.db, item).size(), 2);
    EXPECT_EQ(r.itemField(item, "ExcNum"), 2);
    EXPECT_EQ(r.seams.screen.labels.size(), 2u);
}

} // namespace
