// The settings file's reader and writer, and the code page it is kept in.
#include "platform/Error.h"
#include "platform/ProfileFile.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <random>

using namespace tombolix;

// Failures show texts as text.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

const QString kDefault = QStringLiteral("<default>");
const QByteArray kYaHeiGbk = QByteArrayLiteral("\xCE\xA2\xC8\xED\xD1\xC5\xBA\xDA");
const QString kYaHei = QStringLiteral("微软雅黑");
const QString kGrin = QString::fromUtf8("\xF0\x9F\x98\x80"); // U+1F600, not in GBK
const QByteArray kGrinGb18030 = QByteArrayLiteral("\x94\x39\xFC\x36");

TEST(TextCodec, WritesGbkCharactersAsGbkAndOthersAsFourByteSequences) {
    EXPECT_EQ(TextCodec::encode(kYaHei), kYaHeiGbk);
    EXPECT_EQ(TextCodec::encode(QStringLiteral("a1;=")), QByteArray("a1;="));
    EXPECT_EQ(TextCodec::encode(kGrin), kGrinGb18030);
    EXPECT_EQ(TextCodec::decode(kYaHeiGbk + kGrinGb18030), kYaHei + kGrin);
}

TEST(TextCodec, DecodesBadBytesAsReplacementsOneByteAtATime) {
    const QString bad(QChar(0xFFFD));
    const struct {
        QByteArray bytes;
        QString text;
    } cases[] = {
        {QByteArray("\x80"), bad},
        {QByteArray("a\377b"), "a" + bad + "b"},
        {QByteArray("x\xCE"), "x" + bad},       // lead byte at the end
        {QByteArray("\xCE "), bad + " "},       // lead byte, then no trail
        {QByteArray("\x94\x39"), bad + "9"},    // four-byte sequence cut short
        {QByteArray("\xA1\x7F"), bad + "\x7F"}, // no valid trail byte
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        EXPECT_EQ(TextCodec::decode(c.bytes), c.text);
    }
}

TEST(TextCodec, LeftBytesNeverEndsInsideACharacter) {
    const QByteArray text = "a" + kYaHeiGbk.left(2) + kGrinGb18030 + "z";
    const struct {
        qsizetype max;
        QByteArray expected;
    } cases[] = {
        {0, ""},           {1, "a"},          {2, "a"},    {3, text.left(3)},
        {6, text.left(3)}, {7, text.left(7)}, {100, text},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.max);
        EXPECT_EQ(TextCodec::leftBytes(text, c.max), c.expected);
    }
}

class ProfileFileTest : public ::testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("test.ini")) const {
        return dir.filePath(name);
    }
    void put(const QByteArray& bytes, const QString& name = QStringLiteral("test.ini")) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QByteArray contents(const QString& name = QStringLiteral("test.ini")) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    ProfileFile loaded(const QByteArray& bytes) const {
        put(bytes);
        ProfileFile file(path());
        file.load();
        return file;
    }
    static QString writeError(const std::function<void()>& f) {
        try {
            f();
        } catch (const FileError& e) {
            return e.text();
        }
        return QStringLiteral("<no error>");
    }

    QTemporaryDir dir;
};

TEST_F(ProfileFileTest, ReadsStringsLikeTheWindowsFunctions) {
    const ProfileFile file = loaded("orphan=before any section\r\n"
                                    "; a comment=not a key\r\n"
                                    "[Config]\r\n"
                                    "  Name  =  value with  inner blanks \t\r\n"
                                    "quoted=\"  kept  \"\r\n"
                                    "single='x'\n"
                                    "mixed=\"x'\n"
                                    "twice=\"\"a\"\"\n"
                                    "empty=\n"
                                    "eq=a=b\n"
                                    "no equals sign here\n"
                                    "dup=first\n"
                                    "DUP=second\n"
                                    "[config]\n"
                                    "other=in the second section of the name\n"
                                    "[ Spaced ] trailing text\n"
                                    "k=last line without a line break");
    const struct {
        const char* section;
        const char* key;
        QString expected;
    } cases[] = {
        {"config", "name", "value with  inner blanks"},
        {" CONFIG ", "\tNAME ", "value with  inner blanks"},
        {"config", "quoted", "  kept  "},
        {"config", "single", "x"},
        {"config", "mixed", "\"x'"},
        {"config", "twice", "\"a\""},
        {"config", "empty", ""},
        {"config", "eq", "a=b"},
        {"config", "dup", "first"},
        {"config", "other", kDefault},
        {"config", "orphan", kDefault},
        {"config", "a comment", kDefault},
        {"config", "missing", kDefault},
        {"spaced", "K", "last line without a line break"},
        {"nowhere", "name", kDefault},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(file.readString(c.section, c.key, kDefault), c.expected);
    }
}

TEST_F(ProfileFileTest, MatchesOtherScriptsWithoutRegardToCase) {
    // Ω is a GBK character; Ä is not, so it is four bytes on disk.
    const ProfileFile file = loaded(TextCodec::encode(QStringLiteral("[Ωmega]\r\nÄpfel=1\r\n")));
    EXPECT_EQ(file.readString(QStringLiteral("ωMEGA"), QStringLiteral("äPFEL"), kDefault), "1");
    EXPECT_EQ(file.readString(QStringLiteral("ωmega"), QStringLiteral("apfel"), kDefault),
              kDefault);
}

TEST_F(ProfileFileTest, ReadsIntegersAndFlags) {
    const struct {
        const char* value;
        qint32 expected;
    } cases[] = {
        {"42", 42},
        {" +42 ", 42},
        {"-7", -7},
        {"007", 7},
        {"\"12\"", 12},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"0xFF000005", -16777211},
        {"0xffffffff", -1},
        {"0X1A", 26},
        {"$FF", 255},
        {"-$10", -16},
        {"-0x10", -16},
        {"0x1", 1},
        {"0x00000000FF", 255},
        // Each of these keeps the default.
        {"", 77},
        {"0x", 77},
        {"$", 77},
        {"-", 77},
        {"abc", 77},
        {"12abc", 77},
        {"1 2", 77},
        {"1.5", 77},
        {"$G", 77},
        {"2147483648", 77},
        {"-2147483649", 77},
        {"99999999999999999999999", 77},
        {"0x100000000", 77},
        {"\xD9\xA3", 77}, // a digit of another script, in UTF-8 bytes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const ProfileFile file = loaded(QByteArray("[s]\r\nk=") + c.value + "\r\n");
        EXPECT_EQ(file.readInteger("s", "k", 77), c.expected);
    }
    const ProfileFile file = loaded("[s]\r\ntwo=2\r\nzero=0\r\nbad=abc\r\n");
    EXPECT_TRUE(file.readBoolean("s", "two", false));
    EXPECT_FALSE(file.readBoolean("s", "zero", true));
    EXPECT_TRUE(file.readBoolean("s", "bad", true));
    EXPECT_FALSE(file.readBoolean("s", "bad", false));
    EXPECT_TRUE(file.readBoolean("s", "missing", true));
}

TEST_F(ProfileFileTest, CutsLongValuesWithoutSplittingACharacter) {
    const QByteArray ascii(3000, 'a');
    QByteArray chinese = "ab";
    for (int i = 0; i < 1100; ++i)
        chinese += kYaHeiGbk.left(2);
    const ProfileFile file = loaded("[s]\nascii=" + ascii + "\nchinese=" + chinese + "\n");
    EXPECT_EQ(file.readString("s", "ascii", kDefault), QString(2047, 'a'));
    EXPECT_EQ(file.readString("s", "chinese", kDefault),
              "ab" + QString(1022, QChar(kYaHei[0]))); // 2046 bytes: a 2048th would split
}

TEST_F(ProfileFileTest, WriteChangesOnlyTheLineOfItsKey) {
    const struct {
        const char* name;
        QByteArray before;
        const char* section;
        const char* key;
        QString value;
        QByteArray after;
    } cases[] = {
        {"replaces in place, keeping the key's spelling and all else",
         "; head\n[other]\nIsBlank=5\n[CONFIG]\nISBLANK=0\n; note\nodd line\nZ=1\n", "config",
         "IsBlank", "1",
         "; head\n[other]\nIsBlank=5\n[CONFIG]\nISBLANK=1\r\n; note\nodd line\nZ=1\n"},
        {"keeps what stands before the value", "[s]\r\n  Key = old\r\n", "s", "key", "new",
         "[s]\r\n  Key =new\r\n"},
        {"replaces the first of duplicate keys and sections", "[s]\nk=1\nk=2\n[s]\nk=3\n", "s", "k",
         "9", "[s]\nk=9\r\nk=2\n[s]\nk=3\n"},
        {"adds after the section's last key", "[s]\na=1\n\n; tail\n[t]\nb=2\n", "S", "c", "3",
         "[s]\na=1\nc=3\r\n\n; tail\n[t]\nb=2\n"},
        {"adds right after a section with no keys", "[s]\n; only a note\n[t]\n", "s", "c", "3",
         "[s]\nc=3\r\n; only a note\n[t]\n"},
        {"ends an unfinished last line first", "[s]\na=1", "s", "b", "2", "[s]\na=1\r\nb=2\r\n"},
        {"ends a last line cut after its CR", "[s]\na=1\r", "s", "b", "2", "[s]\na=1\r\nb=2\r\n"},
        {"adds a missing section at the end", "[s]\na=1\n", "new", "k", "v",
         "[s]\na=1\n[new]\r\nk=v\r\n"},
        {"starts an empty file", "", "config", "k", "v", "[config]\r\nk=v\r\n"},
        {"writes line breaks in a value as blanks", "", "s", "k", "a\r\nb\nc\rd",
         "[s]\r\nk=a b c d\r\n"},
        {"writes a value's blanks as they are", "", "s", "pw", " 947 ", "[s]\r\npw= 947 \r\n"},
        {"writes text as GBK", "", "s", "font", kYaHei, "[s]\r\nfont=" + kYaHeiGbk + "\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProfileFile file = loaded(c.before);
        file.writeString(c.section, c.key, c.value);
        EXPECT_EQ(file.bytes(), c.after);
    }
}

TEST_F(ProfileFileTest, ValuesReadBackAsWritten) {
    ProfileFile file(path());
    file.load();
    file.writeString("s", "title", kGrin + kYaHei);
    file.writeString("s", "pw", "947 ");
    file.writeInteger("s", "colour", -16777211);
    file.writeBoolean("s", "on", true);
    file.writeBoolean("s", "off", false);
    file.writeString("s", "text", "two\nlines");
    file.save();

    ProfileFile again(path());
    again.load();
    EXPECT_EQ(again.readString("s", "title", kDefault), kGrin + kYaHei);
    EXPECT_EQ(again.readString("s", "pw", kDefault), "947"); // blanks at the ends drop on reading
    EXPECT_EQ(again.readInteger("s", "colour", 0), -16777211);
    EXPECT_TRUE(again.readBoolean("s", "on", false));
    EXPECT_FALSE(again.readBoolean("s", "off", true));
    EXPECT_EQ(again.readString("s", "text", kDefault), "two lines");
    EXPECT_EQ(contents(), "[s]\r\ntitle=" + kGrinGb18030 + kYaHeiGbk +
                              "\r\npw=947 \r\ncolour=-16777211\r\non=1\r\noff=0\r\n"
                              "text=two lines\r\n");
}

TEST_F(ProfileFileTest, BatchTouchesTheDiskOnlyOnSave) {
    put("[s]\na=1\n");
    ProfileFile file(path());
    file.load();
    file.writeInteger("s", "a", 2);
    file.writeInteger("s", "b", 3);
    EXPECT_EQ(contents(), "[s]\na=1\n");
    file.save();
    EXPECT_EQ(contents(), "[s]\na=2\r\nb=3\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"test.ini"});
}

TEST_F(ProfileFileTest, OneShotFunctions) {
    writeProfileString(path(), "s", "t", "x");
    writeProfileInteger(path(), "s", "i", 0x7F);
    writeProfileBoolean(path(), "s", "b", true);
    EXPECT_EQ(readProfileString(path(), "S", "T", kDefault), "x");
    EXPECT_EQ(readProfileInteger(path(), "s", "i", 0), 127);
    EXPECT_TRUE(readProfileBoolean(path(), "s", "b", false));
    EXPECT_EQ(readProfileString(path("missing.ini"), "s", "t", kDefault), kDefault);
    EXPECT_FALSE(QFile::exists(path("missing.ini")));
}

TEST_F(ProfileFileTest, FileThatCannotBeWrittenRaisesItsFullPath) {
    put("not a directory", "plain");
    QDir(dir.path()).mkdir("folder.ini");
    const QString cases[] = {
        path("plain/test.ini"),
        path("no/such/dir/test.ini"),
        path("folder.ini"),
    };
    for (const QString& target : cases) {
        SCOPED_TRACE(target.toStdString());
        ProfileFile file(target);
        file.load();
        EXPECT_EQ(file.readString("s", "k", kDefault), kDefault);
        file.writeString("s", "k", "v");
        EXPECT_EQ(writeError([&] { file.save(); }), "Unable to write to " + target);
        EXPECT_EQ(writeError([&] { writeProfileString(target, "s", "k", "v"); }),
                  "Unable to write to " + target);
    }
    EXPECT_EQ(contents("plain"), "not a directory");
}

TEST_F(ProfileFileTest, RelativePathIsReportedInFull) {
    ProfileFile file(QStringLiteral("no-such-dir-here/x.ini"));
    EXPECT_TRUE(QDir::isAbsolutePath(file.path()));
    EXPECT_TRUE(file.path().endsWith("/no-such-dir-here/x.ini"));
    EXPECT_EQ(writeError([&] { file.save(); }), "Unable to write to " + file.path());
}

TEST_F(ProfileFileTest, OversizedFileReadsAsEmptyAndIsNeverReplaced) {
    const QByteArray big = "[s]\nk=v\n" + QByteArray(ProfileFile::kMaxFileSize, ';');
    put(big);
    ProfileFile file(path());
    file.load();
    EXPECT_EQ(file.readString("s", "k", kDefault), kDefault);
    file.writeString("s", "k", "w");
    EXPECT_EQ(writeError([&] { file.save(); }), "Unable to write to " + path());
    EXPECT_EQ(contents(), big);
}

TEST_F(ProfileFileTest, GarbageReadsAsDefaultsAndSurvivesAWrite) {
    std::mt19937 random(20240601);
    QByteArray noise(ProfileFile::kMaxFileSize / 2, Qt::Uninitialized);
    for (char& b : noise)
        b = static_cast<char>(random());
    ProfileFile file = loaded(noise);
    EXPECT_EQ(file.readString("config", "ATltle", kDefault), kDefault);
    EXPECT_EQ(file.readInteger("config", "iTime", 5), 5);
    file.writeString("config", "ATltle", "t");
    file.save();
    EXPECT_TRUE(contents().startsWith(noise));
    EXPECT_EQ(readProfileString(path(), "config", "ATltle", kDefault), "t");
}

TEST_F(ProfileFileTest, HugeLinesAreReadThrough) {
    // Three such lines still make a file we take in.
    const QByteArray line(ProfileFile::kMaxFileSize / 4, 'x');
    const ProfileFile file = loaded(line + "\n[" + line + "]\nk=" + line + "\n[s]\nk=v\n");
    EXPECT_EQ(file.readString("s", "k", kDefault), "v");
    EXPECT_EQ(file.readString(QString(line), "k", kDefault), QString(2047, 'x'));
}

} // namespace
