// The engine layer's behaviour that the draw and the dialogs rely on.
#include "platform/Database.h"
#include "store/DrawDatabase.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace tombolix;
using tombolix::test::TestDatabase;

namespace {

int countRows(Connection& c, const QString& table) {
    Query q(c, QStringLiteral("select count(*) from ") + table);
    q.open();
    return q.scalarInteger();
}

QString dbError(const std::function<void()>& f) {
    try {
        f();
    } catch (const DbError& e) {
        return e.text();
    }
    return QString();
}

TEST(DataSet, StaticCursorShowsChangesElsewhereOnlyAfterReopen) {
    TestDatabase db;
    db.addEmployee("1", "甲", "A");
    DataSet pool(db.connection(), QStringLiteral("select * from EmpNo order by RecNo"));
    pool.open();
    db.addEmployee("2", "乙", "A");
    EXPECT_EQ(pool.recordCount(), 1);
    pool.close();
    pool.open();
    EXPECT_EQ(pool.recordCount(), 2);
    pool.first();
    EXPECT_EQ(pool.asString("EmpCode"), "1");
    pool.next();
    EXPECT_EQ(pool.asString("empname"), "乙"); // field names are case-blind
    pool.next();
    EXPECT_TRUE(pool.eof());
}

TEST(DataSet, PostedRowsAreInTheFileAtOnce) {
    TestDatabase db;
    Connection other; // a second copy of the program on the same file
    other.setConnectionString(drawdb::connectionString(db.dir()));
    other.open();

    DataSet winners(db.connection(), QStringLiteral("select * from AwardList order by RecNo"));
    winners.open();
    winners.append();
    winners.setField("sNo", "1001");
    winners.setField("sName", "王伟");
    winners.setField("sTime", 3);
    winners.setField("sCompcode", "A");
    winners.post();
    EXPECT_GT(winners.asInteger("RecNo"), 0); // assigned by the store, shown at once
    EXPECT_EQ(countRows(other, "AwardList"), 1);

    winners.edit();
    winners.setField("sName", "王芳");
    winners.post();
    Query check(other, QStringLiteral("select sName from AwardList"));
    check.open();
    EXPECT_EQ(check.asString("sName"), "王芳");

    winners.remove();
    EXPECT_TRUE(winners.isEmpty());
    EXPECT_EQ(countRows(other, "AwardList"), 0);
}

TEST(DataSet, LocateFindsTheFirstMatchingRowOverSeveralFields) {
    TestDatabase db;
    db.addEmployee("1001", "first A", "A");
    db.addEmployee("1001", "at B", "B");
    db.addEmployee("1001", "second A", "A");
    db.addEmployee("x7", "letters", "Co");
    DataSet pool(db.connection(), QStringLiteral("select * from EmpNo order by RecNo"));
    pool.open();

    EXPECT_TRUE(pool.locate("EmpCode;CompCode", {"1001", "B"}));
    EXPECT_EQ(pool.asString("EmpName"), "at B");
    EXPECT_TRUE(pool.locate("EmpCode;CompCode", {"1001", "A"}));
    EXPECT_EQ(pool.asString("EmpName"), "first A");
    EXPECT_TRUE(pool.locate("RecNo", {QStringLiteral("3")})); // numbers match their text
    EXPECT_EQ(pool.asString("EmpName"), "second A");

    EXPECT_FALSE(pool.locate("EmpCode;CompCode", {"1001", "C"}));
    EXPECT_EQ(pool.asString("EmpName"), "second A"); // a miss leaves the row where it was
    EXPECT_FALSE(pool.locate("EmpCode", {"X7"}));
    EXPECT_TRUE(pool.locate("EmpCode", {"X7"}, DataSet::CaseInsensitive));

    // A row appended through the data set is found at once.
    pool.append();
    pool.setField("EmpCode", "new");
    pool.post();
    pool.first();
    EXPECT_TRUE(pool.locate("EmpCode", {"new"}));
}

// The first row of each key, found by reading every row.
int firstRowOf(DataSet& pool, const QString& code, const QString& company, bool ignoreCase) {
    const int at = pool.position();
    int found = -1;
    for (pool.first(); !pool.eof() && found < 0; pool.next()) {
        const auto cs = ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
        if (pool.asString("EmpCode").compare(code, cs) == 0 &&
            pool.asString("CompCode").compare(company, cs) == 0)
            found = pool.position();
    }
    pool.first();
    for (int i = 0; i < at && !pool.eof(); ++i)
        pool.next();
    return found;
}

TEST(DataSet, LocateAgreesWithAFullScanAfterEveryKindOfWrite) {
    TestDatabase db;
    for (const char* code : {"1001", "1002", "1001", "1003"})
        db.addEmployee(code, code, "A");
    DataSet pool(db.connection(), QStringLiteral("select * from EmpNo order by RecNo"));
    pool.open();
    const QStringList codes = {"1001", "1002", "1003", "1004", "new", "NEW", "gone"};
    auto checkAll = [&](const char* after) {
        SCOPED_TRACE(after);
        for (bool ci : {false, true}) {
            for (const QString& code : codes) {
                const int expected = firstRowOf(pool, code, "A", ci);
                const bool found = pool.locate("EmpCode;CompCode", {code, "A"},
                                               ci ? DataSet::CaseInsensitive : DataSet::NoOptions);
                ASSERT_EQ(found, expected >= 0) << code.toStdString() << " ci " << ci;
                if (found) {
                    EXPECT_EQ(pool.position(), expected) << code.toStdString() << " ci " << ci;
                }
            }
        }
    };
    checkAll("open"); // builds both indexes
    auto at = [&](int row) {
        pool.first();
        for (int i = 0; i < row; ++i)
            pool.next();
    };

    pool.append(); // a key that is there already: the earlier row stays first
    pool.setField("EmpCode", "1002");
    pool.setField("CompCode", "A");
    pool.post();
    checkAll("append of a known key");
    pool.append();
    pool.setField("EmpCode", "new");
    pool.setField("CompCode", "A");
    pool.post();
    checkAll("append of a new key");
    at(0); // the first 1001 becomes 1004: the second 1001 is first now
    pool.edit();
    pool.setField("EmpCode", "1004");
    pool.post();
    checkAll("edit of a key");
    at(1);
    pool.edit();
    pool.setField("EmpName", "renamed");
    pool.post();
    checkAll("edit of another field");
    at(1); // a row put in between moves every row behind it
    pool.insert();
    pool.setField("EmpCode", "NEW");
    pool.setField("CompCode", "A");
    pool.post();
    checkAll("insert");
    at(0);
    pool.remove();
    checkAll("remove");
}

TEST(Connection, CommandMatchingNothingChangesZeroRows) {
    TestDatabase db;
    db.addEmployee("1", "甲", "A");
    EXPECT_EQ(db.connection().execute("delete from AwardList where sNo = 'nobody'"), 0);
    EXPECT_EQ(db.connection().execute("update EmpNo set EmpName = 'x' where RecNo = 99"), 0);
    EXPECT_EQ(db.connection().execute("update EmpNo set EmpName = 'x'"), 1);
}

// Statements are kept for their text's next run: no value, row or failure
// of one run may reach the next.
TEST(Connection, ARepeatedStatementStartsAfreshEachRun) {
    TestDatabase db;
    Connection& c = db.connection();
    const QString insert =
        QStringLiteral("insert into EmpNo (EmpCode, EmpName, CompCode) values (?, ?, ?)");
    c.execute(insert, {"1", "one", "A"});
    EXPECT_TRUE(dbError([&] {
                    c.execute(insert, {QString(51, QLatin1Char('9')), "x", "A"});
                }).contains("CHECK constraint failed"));
    c.execute(insert, {"2"}); // values not given are empty, not the last run's
    Query second(c, QStringLiteral("select * from EmpNo where EmpCode = '2'"));
    second.open();
    EXPECT_TRUE(second.value(QStringLiteral("EmpName")).isNull());
    EXPECT_TRUE(second.value(QStringLiteral("CompCode")).isNull());
    for (int run = 0; run < 2; ++run) {
        Query all(c, QStringLiteral("select EmpCode from EmpNo order by RecNo"));
        all.open();
        EXPECT_EQ(all.recordCount(), 2) << "run " << run;
    }
    // Two statements in one text are refused every time, not only the first.
    for (int run = 0; run < 2; ++run)
        EXPECT_TRUE(dbError([&] {
                        c.execute("select 1; delete from EmpNo");
                    }).contains("more than one statement"));
    EXPECT_EQ(countRows(c, "EmpNo"), 2);
    // Kept statements end with the connection; a reopened one works as new.
    c.close();
    c.openFile(db.file(), drawdb::kPassword, false);
    EXPECT_EQ(countRows(c, "EmpNo"), 2);
}

TEST(DataSet, AKeptStatementReadsTheColumnsOfAChangedTable) {
    TestDatabase db;
    Connection& c = db.connection();
    c.executeScript("create table T (RecNo integer primary key, A text, B text);"
                    "insert into T (A, B) values ('a', 'b')");
    DataSet t(c, QStringLiteral("select * from T"));
    t.open();
    t.close();
    c.executeScript("drop table T; create table T (RecNo integer primary key, B text, A text);"
                    "insert into T (B, A) values ('b', 'a')");
    t.open();
    EXPECT_EQ(t.asString("A"), "a");
    EXPECT_EQ(t.asString("B"), "b");
}

TEST(DataSet, MovingAwayFromAnEditPostsItToItsOwnRow) {
    TestDatabase db;
    db.addEmployee("1", "one", "A");
    db.addEmployee("2", "two", "A");
    DataSet pool(db.connection(), QStringLiteral("select * from EmpNo order by RecNo"));
    pool.open();
    pool.edit();
    pool.setField("EmpName", "changed");
    pool.next();
    EXPECT_EQ(pool.state(), DataSet::State::Browse);
    EXPECT_EQ(pool.asString("EmpName"), "two");
    pool.first();
    EXPECT_EQ(pool.asString("EmpName"), "changed");
    pool.append(); // untouched: dropped, not written
    pool.first();
    EXPECT_EQ(pool.recordCount(), 2);
    EXPECT_EQ(countRows(db.connection(), "EmpNo"), 2);
}

TEST(DataSet, OverLongValueIsRefusedWithTheEnginesMessageAndNothingIsWritten) {
    TestDatabase db;
    DataSet pool(db.connection(), QStringLiteral("select * from EmpNo order by RecNo"));
    pool.open();
    pool.append();
    pool.setField("EmpCode", QString(51, QLatin1Char('9')));
    const QString message = dbError([&] { pool.post(); });
    EXPECT_TRUE(message.contains("CHECK constraint failed")) << message.toStdString();
    EXPECT_EQ(pool.state(), DataSet::State::Insert); // the operator can still correct it
    pool.cancel();
    EXPECT_TRUE(pool.isEmpty());
    EXPECT_EQ(countRows(db.connection(), "EmpNo"), 0);

    // Fifty characters fit, Chinese ones included.
    pool.append();
    pool.setField("EmpCode", QString(50, QChar(0x4E2D)));
    pool.post();
    EXPECT_EQ(countRows(db.connection(), "EmpNo"), 1);
}

TEST(DataSet, HooksAndLookupField) {
    TestDatabase db;
    const int item = db.addItem("一等奖", 3, 1);
    DataSet items(db.connection(), QStringLiteral("select * from AwardItem order by iSeq"));
    items.open();
    DataSet white(db.connection(), QStringLiteral("select * from award order by RecNo"));
    white.open();
    white.addLookupField("ItemName", "sTime", &items, "RecNo", "ItemName");
    QStringList changed;
    white.setNewRecordHook([](DataSet& ds) { ds.setField("Checked", 0); });
    white.setFieldChangeHook([&](DataSet& ds, const QString& field) {
        changed << field;
        if (field == "sNo" && ds.asString("sNo").isEmpty())
            throw DbError("number required");
    });

    white.append();
    EXPECT_EQ(white.asInteger("Checked"), 0);
    white.setField("sNo", "1001");
    white.setField("sTime", item);
    EXPECT_EQ(white.asString("ItemName"), "一等奖");
    EXPECT_FALSE(dbError([&] { white.setField("ItemName", "x"); }).isEmpty());
    EXPECT_FALSE(dbError([&] { white.setField("sNo", ""); }).isEmpty());
    white.setField("sNo", "1001");
    white.post();
    EXPECT_EQ(changed, QStringList({"Checked", "sNo", "sTime", "sNo", "sNo"}));
    EXPECT_EQ(white.asString("ItemName"), "一等奖");
    white.edit();
    white.setField("sTime", 999);
    EXPECT_TRUE(white.asString("ItemName").isEmpty());
}

TEST(DataSet, InsertPutsTheRowAtTheCursor) {
    TestDatabase db;
    db.addEmployee("1", "a", "A");
    db.addEmployee("2", "b", "A");
    DataSet pool(db.connection(), QStringLiteral("select * from EmpNo order by RecNo"));
    pool.open();
    pool.next();
    pool.insert();
    pool.setField("EmpCode", "between");
    pool.post();
    QStringList codes;
    for (pool.first(); !pool.eof(); pool.next())
        codes << pool.asString("EmpCode");
    EXPECT_EQ(codes, QStringList({"1", "between", "2"}));
}

TEST(DataSet, ReadOnlyResultsRefuseChanges) {
    TestDatabase db;
    db.addItem("x", 1, 1);
    Query count(db.connection(), QStringLiteral("select Count(*) from AwardItem"));
    count.open();
    EXPECT_EQ(count.scalarInteger(), 1);
    EXPECT_FALSE(dbError([&] { count.edit(); }).isEmpty());
    Query closed(db.connection(), QStringLiteral("select * from EmpNo"));
    EXPECT_FALSE(dbError([&] { closed.recordCount(); }).isEmpty());
    EXPECT_TRUE(dbError([&] { closed.setSql("select * from nosuchtable"); }).isEmpty());
    EXPECT_TRUE(dbError([&] { closed.open(); }).contains("no such table"));
}

TEST(Transaction, WritesLandTogetherOrNotAtAll) {
    TestDatabase db;
    {
        Transaction t(db.connection());
        db.addEmployee("1", "a", "A");
        {
            Transaction inner(db.connection());
            db.addEmployee("2", "b", "A");
        } // inner undone
        db.addEmployee("3", "c", "A");
        t.commit();
    }
    EXPECT_EQ(countRows(db.connection(), "EmpNo"), 2);
    try {
        Transaction t(db.connection());
        db.addEmployee("4", "d", "A");
        db.connection().execute("insert into EmpNo (EmpCode) values (?)", {QString(60, 'x')});
        t.commit();
    } catch (const DbError&) {
    }
    EXPECT_EQ(countRows(db.connection(), "EmpNo"), 2);
}

TEST(Connection, OpenFailuresCarryTheEnginesText) {
    TestDatabase db;
    db.connection().close();
    struct Case {
        const char* what;
        QString connectionString;
        const char* message;
    } cases[] = {
        {"missing file", drawdb::connectionString(db.dir() + "nowhere/"), "unable to open"},
        {"wrong key",
         drawdb::connectionString(db.dir()).replace(drawdb::kPassword, QStringLiteral("wrong")),
         "not a database"},
    };
    for (const Case& c : cases) {
        Connection connection;
        connection.setConnectionString(c.connectionString);
        const QString text = dbError([&] { connection.open(); });
        EXPECT_TRUE(text.contains(c.message)) << c.what << ": " << text.toStdString();
        EXPECT_FALSE(connection.isOpen()) << c.what;
    }
    // The file is never created by opening it.
    EXPECT_FALSE(QFile::exists(db.dir() + "nowhere/config.dll"));
}

TEST(Connection, ConnectionStringValues) {
    const QString s = drawdb::connectionString("/opt/draw/");
    EXPECT_EQ(Connection::connectionValue(s, "Data Source"), "/opt/draw/config.dll");
    EXPECT_EQ(Connection::connectionValue(s, "Jet OLEDB:Database Password"), "TrueGate742");
    EXPECT_EQ(Connection::connectionValue(s, "Extended Properties"), "");
    EXPECT_TRUE(s.contains("Jet OLEDB:Don't Copy Locale on Compact=False;"));
    EXPECT_TRUE(s.endsWith("Jet OLEDB:SFP=False"));
}

} // namespace
