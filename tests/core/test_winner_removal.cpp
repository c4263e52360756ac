// Taking a winner off the list frees a place on the item, counted afresh.
#include "engine/WinnerRemoval.h"
#include "support/DrawRows.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

using namespace tombolix;
using namespace tombolix::test;

namespace {

int field(TestDatabase& db, int item, const char* name) {
    return scalar(db, QStringLiteral("select %1 from AwardItem where RecNo = %2")
                          .arg(QLatin1String(name))
                          .arg(item));
}

TEST(WinnerRemoval, RemovalRecountsTheItemFromTheRecordsLeft) {
    struct Case {
        const char* what;
        int total, storedDrawn;
        QStringList winners; // number@company on the item
        QString removeNumber, removeCompany;
        int drawnAfter, isExecAfter;
        QStringList left;
    } cases[] = {
        {"one of three", 5, 3, {"1@A", "2@A", "3@A"}, "2", "A", 2, 0, {"1@A", "3@A"}},
        {"from a full item", 2, 2, {"1@A", "2@A"}, "1", "A", 1, 1, {"2@A"}},
        {"a count that was wrong", 9, 7, {"1@A", "2@A"}, "1", "A", 1, 0, {"2@A"}},
        {"same number at another company",
         5,
         2,
         {"1001@A", "1001@B"},
         "1001",
         "A",
         1,
         0,
         {"1001@B"}},
        {"quote in the number", 5, 1, {"O'1@A"}, "O'1", "A", 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestDatabase db;
        const int item = db.addItem("main", c.total, 1, 1, c.storedDrawn);
        const int other = db.addItem("other", 5, 1, 2, 1);
        addWinner(db, "9", "Z", other);
        for (const QString& w : c.winners)
            addWinner(db, w.section('@', 0, 0), w.section('@', 1), item);

        EXPECT_TRUE(
            DeleteWinner(db.connection(), c.removeNumber, c.removeCompany, QString::number(item)));

        EXPECT_EQ(winnersOf(db, item), c.left);
        EXPECT_EQ(field(db, item, "ExcNum"), c.drawnAfter);
        EXPECT_EQ(field(db, item, "IsExec"), c.isExecAfter);
        EXPECT_EQ(field(db, other, "ExcNum"), 1);
        EXPECT_EQ(winnersOf(db, other), QStringList{"9@Z"});
    }
}

TEST(WinnerRemoval, NothingToRemoveRecountsNothing) {
    TestDatabase db;
    const int item = db.addItem("main", 9, 1, 1, 7);
    addWinner(db, "1", "A", item);
    EXPECT_FALSE(DeleteWinner(db.connection(), "1", "B", QString::number(item)));
    EXPECT_EQ(field(db, item, "ExcNum"), 7);
}

TEST(WinnerRemoval, FailedRecountKeepsTheWinner) {
    TestDatabase db;
    const int item = db.addItem("main", 5, 1, 1, 1);
    addWinner(db, "1", "A", item);
    db.connection().executeScript(
        "create trigger fail before update on AwardItem begin select raise(abort, 'locked'); end");

    EXPECT_THROW(DeleteWinner(db.connection(), "1", "A", QString::number(item)), DbError);

    EXPECT_EQ(winnersOf(db, item), QStringList{"1@A"});
    EXPECT_EQ(field(db, item, "ExcNum"), 1);
}

TEST(WinnerRemoval, CountAndStoreWorkOnDecimalText) {
    TestDatabase db;
    const int item = db.addItem("main", 5, 1);
    addWinner(db, "1", "A", item);
    addWinner(db, "2", "A", item);
    EXPECT_EQ(CountItemWinners(db.connection(), QString::number(item)), 2);
    EXPECT_TRUE(SetItemDrawnCount(db.connection(), QString::number(item), "2"));
    EXPECT_EQ(field(db, item, "ExcNum"), 2);
    EXPECT_FALSE(SetItemDrawnCount(db.connection(), "999", "2"));
    EXPECT_THROW(CountItemWinners(db.connection(), "1; drop table AwardList"), Error);
    EXPECT_EQ(winnersOf(db, item).size(), 2);
}

} // namespace
