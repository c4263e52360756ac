// Hostile text goes through every statement as plain text.
#include "platform/Database.h"
#include "platform/ProgramDir.h"
#include "store/DrawDatabase.h"
#include "store/Statements.h"
#include "support/ConnectChecks.h"
#include "support/RecordingMessageBox.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace tombolix;
using tombolix::test::expectConnectionRefused;
using tombolix::test::RecordingMessageBox;
using tombolix::test::TestDatabase;

namespace {

const QString kHostile[] = {
    QStringLiteral("O'Brien"),      QStringLiteral("''"),
    QStringLiteral("1' or '1'='1"), QStringLiteral("x'); delete from EmpNo; --"),
    QStringLiteral("\\'\""),        QStringLiteral("[sNo]"),
    QStringLiteral("王'伟"),
};

int scalar(Connection& c, const QString& sql) {
    Query q(c, sql);
    q.open();
    return q.scalarInteger();
}

TEST(Statements, LiteralDoublesQuotes) {
    EXPECT_EQ(sql::literal("O'Brien"), "'O''Brien'");
    EXPECT_EQ(sql::literal(""), "''");
    EXPECT_EQ(sql::literal(QStringLiteral("a") + QChar(0) + "b"), "'ab'");
}

TEST(Statements, HostileTextIsStoredFoundAndRemovedAsPlainText) {
    for (const QString& text : kHostile) {
        SCOPED_TRACE(text.toStdString());
        TestDatabase db;
        Connection& c = db.connection();
        db.addEmployee("bystander", "someone", "Co");

        // Import: the text in every field, stored exactly.
        ASSERT_EQ(c.execute(sql::insertEmployee(text, text, text, text)), 1);
        Query stored(c, sql::selectEmployees());
        stored.open();
        ASSERT_EQ(stored.recordCount(), 2);
        ASSERT_TRUE(stored.locate("EmpCode;EmpName;CompCode;DartNo", {text, text, text, text}));

        // White-list test of the draw finds the person by number and company.
        c.execute("insert into Award (sNo, sCompCode, sTime) values (?, ?, 1)", {text, text});
        Query white(c, sql::selectWhiteRowsOfPerson(text, text));
        white.open();
        EXPECT_EQ(white.recordCount(), 1);
        Query none(c, sql::selectWhiteRowsOfPerson(text, "other"));
        none.open();
        EXPECT_TRUE(none.isEmpty());

        // Removal takes exactly that person's winner record.
        c.execute("insert into AwardList (sNo, sCompcode, sTime) values (?, ?, 7)", {text, text});
        c.execute("insert into AwardList (sNo, sCompcode, sTime) values ('other', ?, 7)", {text});
        EXPECT_EQ(c.execute(sql::deleteWinner(text, text)), 1);
        EXPECT_EQ(scalar(c, sql::countItemWinners(7)), 1);
        EXPECT_EQ(c.execute(sql::setItemDrawnCount(1, 7)), 0);
        EXPECT_EQ(scalar(c, "select count(*) from EmpNo"), 2);
    }
}

TEST(Statements, RuntimeStatementsRunOnTheSchema) {
    TestDatabase db;
    Connection& c = db.connection();
    const int full = db.addItem("full", 1, 1, 1, 1);
    const int open = db.addItem("open", 3, 1, 2);
    const int tie = db.addItem("tie", 3, 1, 2);
    (void)tie;

    Query current(c, sql::selectCurrentItem(open));
    current.open();
    ASSERT_EQ(current.recordCount(), 1);
    Query noPlaces(c, sql::selectCurrentItem(full));
    noPlaces.open();
    EXPECT_TRUE(noPlaces.isEmpty());

    Query first(c, sql::selectFirstOpenItem());
    first.open();
    EXPECT_EQ(first.recordCount(), 1); // two items share the lowest iSeq: one comes back
    EXPECT_EQ(first.scalarInteger(), open);

    for (const QString& s :
         {sql::selectEmployees(), sql::selectWinners(), sql::selectBlackList(),
          sql::selectWhiteList(), sql::selectUnfinishedItems(), sql::selectAllItems(),
          sql::selectAllWhiteRows(), sql::selectWhiteListForEditing(),
          sql::selectBlackListForEditing(), sql::selectEmployeesByCode(), sql::selectItemsBySeq(),
          sql::selectItemsWithPlaces(), sql::selectWinnersWithItems(),
          sql::selectOpenWhiteRowsOfItem(open)}) {
        Query q(c, s);
        EXPECT_NO_THROW(q.open()) << s.toStdString();
    }
    EXPECT_EQ(c.execute(sql::setItemDrawnCount(2, open)), 1);
    EXPECT_EQ(c.execute(sql::deleteAllWinners()), 0);
    EXPECT_EQ(c.execute(sql::deleteAllEmployees()), 0);
}

TEST(ConnectDatabase, OpensConfigDllInTheProgramDirectory) {
    TestDatabase db;
    db.connection().close();
    auto boxes = RecordingMessageBox::install();
    Connection connection;
    EXPECT_TRUE(ConnectDatabase(connection));
    EXPECT_TRUE(connection.isOpen());
    EXPECT_TRUE(boxes->shown().empty());
}

TEST(ConnectDatabase, FailureShowsTheEnginesTextAndReturnsFalse) {
    struct Case {
        const char* what;
        std::function<void(const QString& file)> damage;
    } cases[] = {
        {"missing", [](const QString& file) { QFile::remove(file); }},
        {"wrong key",
         [](const QString& file) {
             QFile::remove(file);
             Connection other;
             other.openFile(file, "another key", true);
             drawdb::createSchema(other);
         }},
        {"garbage",
         [](const QString& file) {
             QFile f(file);
             f.open(QIODevice::WriteOnly | QIODevice::Truncate);
             f.write(QByteArray(4096, '\x5a'));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestDatabase db;
        db.connection().close();
        c.damage(db.file());
        expectConnectionRefused();
    }
}

} // namespace
