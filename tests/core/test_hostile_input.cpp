// Damaged database files, hostile settings files and hostile text: the
// program reports or refuses, and never crashes, hangs or changes anything
// else.
#include "platform/Database.h"
#include "platform/Error.h"
#include "platform/ProgramDir.h"
#include "store/DrawDatabase.h"
#include "store/Settings.h"
#include "store/Statements.h"
#include "support/ConnectChecks.h"
#include "support/DrawRows.h"
#include "support/RecordingMessageBox.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <random>

using namespace tombolix;
using namespace tombolix::test;

namespace {

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray noise(int size, unsigned seed) {
    std::mt19937 random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& b : bytes)
        b = static_cast<char>(random());
    return bytes;
}

// Every row of every table as text.
QString everything(Connection& c) {
    QString text;
    for (const char* table : {"EmpNo", "AwardItem", "Award", "AwardBlank", "AwardList"}) {
        Query q(c, QStringLiteral("select * from %1 order by RecNo").arg(QLatin1String(table)));
        q.open();
        text += QLatin1String(table) + QLatin1Char('\n');
        for (q.first(); !q.eof(); q.next()) {
            for (const QString& f : q.fieldNames())
                text += q.asString(f) + QLatin1Char('|');
            text += QLatin1Char('\n');
        }
    }
    return text;
}

// ---- Damaged config.dll ----------------------------------------------------

TEST(DamagedDatabase, ConnectShowsOneErrorBoxAndReturnsFalse) {
    struct Case {
        const char* what;
        std::function<void(const QString& file)> damage;
    } cases[] = {
        {"truncated to 1000 bytes",
         [](const QString& file) { writeBytes(file, readBytes(file).left(1000)); }},
        {"zero-byte file",
         [](const QString& file) {
             writeBytes(file, QByteArray());
             QFile::remove(file + QStringLiteral("-wal"));
         }},
        {"random bytes", [](const QString& file) { writeBytes(file, noise(64 * 1024, 11)); }},
        {"random bytes behind a plain SQLite header",
         [](const QString& file) {
             writeBytes(file, QByteArray("SQLite format 3\0", 16) + noise(8192, 12));
         }},
        {"a whole event database under another key",
         [](const QString& file) {
             QFile::remove(file);
             QFile::remove(file + QStringLiteral("-wal"));
             QFile::remove(file + QStringLiteral("-shm"));
             Connection other;
             other.openFile(file, QStringLiteral("NotTheEventsKey"), true);
             drawdb::createSchema(other);
             other.close();
         }},
        {"plain unencrypted SQLite",
         [](const QString& file) {
             // A plain copy made by the engine itself.
             const QString plainFile = file + QStringLiteral(".plain");
             writeBytes(plainFile, QByteArray()); // attach may not create files
             Connection keyed;
             keyed.openFile(file, drawdb::kPassword, false);
             keyed.execute(QStringLiteral("attach database ") + sql::literal(plainFile) +
                           QStringLiteral(" as plaintext key ''"));
             keyed.execute("select sqlcipher_export('plaintext')");
             keyed.execute("detach database plaintext");
             keyed.close();
             ASSERT_TRUE(readBytes(plainFile).startsWith("SQLite format 3"));
             writeBytes(file, readBytes(plainFile));
             QFile::remove(file + QStringLiteral("-wal"));
             QFile::remove(file + QStringLiteral("-shm"));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestDatabase db;
        db.addEmployee("1", "one", "A");
        db.connection().close();
        c.damage(db.file());
        std::printf("[hostile] %s: %s\n", c.what, qPrintable(expectConnectionRefused()));
    }
}

// A file without the table opens; the failure shows when the view opens.
TEST(DamagedDatabase, MissingTableShowsWhenItsViewOpens) {
    struct Case {
        const char* what;
        std::function<void(TestDatabase&)> damage;
    } cases[] = {
        {"AwardBlank dropped",
         [](TestDatabase& db) {
             db.connection().execute("drop table AwardBlank");
             db.connection().close();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestDatabase db;
        c.damage(db);
        auto boxes = RecordingMessageBox::install();
        Connection connection;
        ASSERT_TRUE(ConnectDatabase(connection));
        EXPECT_TRUE(boxes->shown().empty());
        DataSet black(connection, sql::selectBlackList());
        try {
            black.open();
            ADD_FAILURE() << "opened a view of a missing table";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.text().contains("no such table")) << e.text().toStdString();
        }
        EXPECT_FALSE(black.isOpen());
    }
}

// ---- Hostile settings files (test_settings.cpp has noise, a 900 KB line and
// duplicates) -----------------------------------------------------------------

TEST(HostileSettings, ValidLinesAroundHostileOnesStillRead) {
    const QByteArray keys = "[config]\niTime=7\nATltle=kept\n";
    struct Case {
        const char* what;
        QByteArray bytes;
        bool read; // false: the file is over 1 MB, so not ours, and reads as defaults
    } cases[] = {
        {"a 10 MB line before the section", QByteArray(10 * 1024 * 1024, 'k') + "\n" + keys, false},
        {"a 10 MB value of another key",
         keys + "backImage=" + QByteArray(10 * 1024 * 1024, 'v') + "\n", false},
        {"a 900 KB value of another key",
         "[config]\niTime=7\nbackImage=" + QByteArray(900 * 1024, 'v') + "\nATltle=kept\n", true},
        {"noise lines between the keys",
         "[config]\niTime=7\n" + noise(4096, 5).replace('\n', ' ').replace('[', ' ') +
             "\nATltle=kept\n",
         true},
        {"invalid GBK in another key",
         "[config]\niTime=7\nbackSound=\x81\x20\xff\xfe\x80\x7f\nATltle=kept\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        ProgramDir::setOverride(dir.path() + QLatin1Char('/'));
        writeBytes(dir.filePath("config.ini"), c.bytes);
        Settings settings;
        ReadSettings(settings);
        if (c.read) {
            EXPECT_EQ(settings.iTime, 7);
            EXPECT_EQ(settings.ATltle, QStringLiteral("kept"));
        } else {
            EXPECT_TRUE(settings == defaultSettings());
        }
        ProgramDir::setOverride(QString());
    }
}

TEST(HostileSettings, InvalidGbkValueReadsAsSomeTextOnOneLine) {
    QTemporaryDir dir;
    ProgramDir::setOverride(dir.path() + QLatin1Char('/'));
    writeBytes(dir.filePath("config.ini"), "[config]\nATltle=\x81\x20\xff\xfe\x80\nIsBlank=1\n");
    Settings settings;
    ReadSettings(settings);
    EXPECT_FALSE(settings.ATltle.contains(QLatin1Char('\n')));
    EXPECT_TRUE(settings.IsBlank);
    ProgramDir::setOverride(QString());
}

// ---- Hostile text (test_statements.cpp has quotes and SQL fragments) -------

QString controlCharacters() {
    QString text;
    for (char16_t u = 1; u < 0x20; ++u)
        text += QChar(u);
    return text;
}

struct HostileText {
    const char* what;
    QString text;
    bool fits; // within the columns' 50 characters
};

std::vector<HostileText> hostileTexts() {
    return {
        {"drop table", QStringLiteral("'); drop table EmpNo; --"), true},
        {"control characters", controlCharacters(), true},
        {"emoji and a CJK extension B character",
         QStringLiteral("a") + QString::fromUcs4(U"\U0001F600\U00020000") + QStringLiteral("b"),
         true},
        {"10,000 characters", QString(10000, QLatin1Char('\'')), false},
    };
}

TEST(HostileText, StatementHelpersStoreFindAndRemoveExactlyOrRefuse) {
    for (const HostileText& h : hostileTexts()) {
        SCOPED_TRACE(h.what);
        TestDatabase db;
        Connection& c = db.connection();
        db.addEmployee("bystander", "someone", "Co");
        const int item = db.addItem("main", 3, 1);
        addBlackListed(db, "b", "Co");
        addWhiteListed(db, "w", "white", "Co", item);
        addWinner(db, "bystander", "Co", item);
        const QString before = everything(c);

        if (!h.fits) {
            try {
                c.execute(sql::insertEmployee(h.text, "n", "Co", "d"));
                FAIL() << "an over-long number was stored";
            } catch (const DbError& e) {
                EXPECT_TRUE(e.text().contains("CHECK constraint failed")) << e.text().toStdString();
            }
            EXPECT_EQ(everything(c), before);
            continue;
        }
        ASSERT_EQ(c.execute(sql::insertEmployee(h.text, h.text, h.text, h.text)), 1);
        Query stored(c, "select * from EmpNo where RecNo = (select max(RecNo) from EmpNo)");
        stored.open();
        for (const char* field : {"EmpCode", "EmpName", "CompCode", "DartNo"})
            EXPECT_EQ(stored.asString(field), h.text) << field;

        c.execute("insert into Award (sNo, sCompCode, sTime) values (?, ?, ?)",
                  {h.text, h.text, item});
        Query white(c, sql::selectWhiteRowsOfPerson(h.text, h.text));
        white.open();
        EXPECT_EQ(white.recordCount(), 1);
        Query none(c, sql::selectWhiteRowsOfPerson(h.text, "Co"));
        none.open();
        EXPECT_TRUE(none.isEmpty());

        addWinner(db, h.text, h.text, item);
        EXPECT_EQ(c.execute(sql::deleteWinner(h.text, "Co")), 0);
        EXPECT_EQ(c.execute(sql::deleteWinner(h.text, h.text)), 1);
        c.execute("delete from Award where sNo = ?", {h.text});
        c.execute("delete from EmpNo where EmpCode = ?", {h.text});
        EXPECT_EQ(everything(c), before);
    }
}

TEST(HostileText, DataSetAppendStoresExactlyOrRefusesAndChangesNothingElse) {
    for (const HostileText& h : hostileTexts()) {
        SCOPED_TRACE(h.what);
        TestDatabase db;
        Connection& c = db.connection();
        db.addEmployee("bystander", "someone", "Co");
        const int item = db.addItem("main", 3, 1);
        addWinner(db, "bystander", "Co", item);
        const QString before = everything(c);

        DataSet black(c, sql::selectBlackListForEditing());
        black.open();
        black.append();
        black.setField("sNo", h.text);
        black.setField("sName", h.text);
        black.setField("sCompCode", h.text);
        if (!h.fits) {
            try {
                black.post();
                FAIL() << "an over-long value was stored";
            } catch (const DbError& e) {
                EXPECT_TRUE(e.text().contains("CHECK constraint failed")) << e.text().toStdString();
            }
            black.cancel();
            EXPECT_EQ(everything(c), before);
            continue;
        }
        black.post();
        ASSERT_TRUE(black.locate("sNo;sName;sCompCode", {h.text, h.text, h.text}));
        Query stored(c, sql::selectBlackList());
        stored.open();
        ASSERT_EQ(stored.recordCount(), 1);
        EXPECT_EQ(stored.asString("sNo"), h.text);
        EXPECT_EQ(stored.asString("sCompCode"), h.text);
        black.remove();
        EXPECT_EQ(everything(c), before);
    }
}

} // namespace
