// The settings record and its file, config.ini beside the program.
#include "platform/Error.h"
#include "platform/ProgramDir.h"
#include "store/Settings.h"

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

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ProgramDir::setOverride(dir.path()); }
    void TearDown() override { ProgramDir::setOverride(QString()); }

    QString configPath() const { return dir.filePath("config.ini"); }
    void put(const QByteArray& bytes) const {
        QFile file(configPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QByteArray contents() const {
        QFile file(configPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    static Settings read() {
        Settings settings;
        ReadSettings(settings);
        return settings;
    }

    QTemporaryDir dir;
};

TEST_F(SettingsTest, MissingOrEmptyFileGivesTheDefaults) {
    const QString programDir = dir.path() + "/";
    const QString yaHei = QStringLiteral("微软雅黑");
    Settings expected;
    expected.backSound = programDir + "back.wma";
    expected.ATltle = "";
    expected.iTime = 5;
    expected.backImage = programDir + "backgroup.jpg";
    expected.titleTop = 10;
    expected.titleFontName = yaHei;
    expected.titleFontColor = -16777211;
    expected.titleFontSize = 25;
    expected.gdFontName = yaHei;
    expected.gdFontColor = 15780518;
    expected.gdFontSize = 60;
    expected.adTop = 10;
    expected.gdTop = 700;
    expected.gdNumer = 0;
    expected.AdFontName = yaHei;
    expected.AdFontColor = 16711680;
    expected.AdFontSize = 25;
    expected.AdFontName1 = yaHei;
    expected.AdFontColor1 = 255;
    expected.AdFontSize1 = 28;
    expected.AdFontName2 = yaHei;
    expected.AdFontColor2 = 255;
    expected.AdFontSize2 = 28;
    expected.IsBlank = true;
    expected.PassWord = "947";
    expected.gdShowCom = true;
    expected.gdShowDept = true;
    expected.NumberTop = 500;
    expected.buttonTop = 600;
    expected.ShowX = 100;
    expected.ShowY = 100;
    expected.ShowW = 100;
    expected.ShowH = 100;
    expected.ShowR = 4;
    expected.ShowNO = true; // the second read of showNo/ShowNO decides
    expected.ShowDept = false;

    EXPECT_TRUE(read() == expected);
    EXPECT_TRUE(defaultSettings() == expected);
    EXPECT_FALSE(QFile::exists(configPath())); // reading creates nothing
    put("");
    EXPECT_TRUE(read() == expected);
    put("[other]\r\niTime=9\r\n");
    EXPECT_TRUE(read() == expected);
}

TEST_F(SettingsTest, ReadingLeavesMusicOffAlone) {
    Settings settings;
    settings.MusicOff = true;
    ReadSettings(settings);
    EXPECT_TRUE(settings.MusicOff);
    EXPECT_FALSE(defaultSettings().MusicOff);
}

TEST_F(SettingsTest, ReadsValuesAsTheFileHasThem) {
    using Get = std::function<QString(const Settings&)>;
    const auto number = [](int Settings::*field) -> Get {
        return [field](const Settings& s) { return QString::number(s.*field); };
    };
    const auto flag = [](bool Settings::*field) -> Get {
        return [field](const Settings& s) { return QString::number(s.*field); };
    };
    const auto text = [](QString Settings::*field) -> Get {
        return [field](const Settings& s) { return s.*field; };
    };
    const struct {
        QByteArray line;
        Get get;
        QString expected;
    } cases[] = {
        {"iTime=8", number(&Settings::iTime), "8"},
        {"ITIME = 8 ", number(&Settings::iTime), "8"},
        {"iTime=abc", number(&Settings::iTime), "5"},
        {"iTime=12abc", number(&Settings::iTime), "5"},
        {"iTime=", number(&Settings::iTime), "5"},
        {"iTime=0x", number(&Settings::iTime), "5"},
        {"ShowX=99999999999", number(&Settings::ShowX), "100"},
        {"gdNumer=-3", number(&Settings::gdNumer), "-3"},
        {"titleFontColor=0xFF000005", number(&Settings::titleFontColor), "-16777211"},
        {"gdFontColor=$FF", number(&Settings::gdFontColor), "255"},
        {"AdFontColor=0X1A", number(&Settings::AdFontColor), "26"},
        {"IsBlank=0", flag(&Settings::IsBlank), "0"},
        {"IsBlank=2", flag(&Settings::IsBlank), "1"},
        {"IsBlank=yes", flag(&Settings::IsBlank), "1"},
        {"ShowDept=1", flag(&Settings::ShowDept), "1"},
        {"showNo=0", flag(&Settings::ShowNO), "0"},
        {"SHOWNO=0", flag(&Settings::ShowNO), "0"},
        {"PassWord= 947 ", text(&Settings::PassWord), "947"},
        {"PassWord=", text(&Settings::PassWord), ""},
        {"ATltle=\"  Annual draw  \"", text(&Settings::ATltle), "  Annual draw  "},
        {"backImage=/pictures/hall.jpg", text(&Settings::backImage), "/pictures/hall.jpg"},
        {"ATltle=" + QByteArray(5000, 'x'), text(&Settings::ATltle), QString(2047, 'x')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.left(60).toStdString());
        put("[config]\r\n" + c.line + "\r\n");
        EXPECT_EQ(c.get(read()), c.expected);
    }
}

TEST_F(SettingsTest, NewFileHoldsEveryKeyOnceInWriteOrder) {
    WriteSettings(defaultSettings());
    const QByteArray file = contents();
    ASSERT_TRUE(file.startsWith("[config]\r\n"));
    QList<QByteArray> lines = file.split('\n');
    ASSERT_TRUE(lines.takeLast().isEmpty()); // the last line is ended too
    QStringList keys;
    for (const QByteArray& line : lines.mid(1)) {
        ASSERT_TRUE(line.endsWith('\r'));
        keys << QString::fromLatin1(line.left(line.indexOf('=')));
    }
    const QStringList expected = {
        "backSound",     "backImage",      "ATltle",        "iTime",        "showNo",
        "titleFontName", "titleFontColor", "titleFontSize", "gdFontName",   "gdFontColor",
        "gdFontSize",    "AdFontName",     "AdFontColor",   "AdFontSize",   "AdFontName1",
        "AdFontColor1",  "AdFontSize1",    "AdFontName2",   "AdFontColor2", "AdFontSize2",
        "IsBlank",       "PassWord",       "adTop",         "titleTop",     "gdTop",
        "gdNumer",       "gdShowCom",      "gdShowDept",    "NumberTop",    "buttonTop",
        "ShowX",         "ShowY",          "ShowW",         "ShowH",        "ShowR",
        "ShowDept",
    };
    EXPECT_EQ(keys, expected);
    EXPECT_TRUE(file.contains("\r\nshowNo=1\r\n"));
    EXPECT_TRUE(file.contains("\r\ntitleFontColor=-16777211\r\n"));
    // Text goes out in the Chinese code page: 微软雅黑 as GBK.
    EXPECT_TRUE(file.contains("\r\ntitleFontName=\xCE\xA2\xC8\xED\xD1\xC5\xBA\xDA\r\n"));
    EXPECT_TRUE(read() == defaultSettings());
}

TEST_F(SettingsTest, EveryFieldReadsBackAsWritten) {
    Settings settings = defaultSettings();
    settings.backImage = "/srv/pictures/大厅.jpg";
    settings.IsBlank = false;
    settings.PassWord = "s3cret";
    settings.backSound = "/srv/music/march.mp3";
    settings.ATltle = QString::fromUtf8("\xF0\x9F\x8E\x89 年会抽奖");
    settings.iTime = 12;
    settings.titleFontName = "SimHei";
    settings.titleFontColor = 0x00FF00;
    settings.titleFontSize = 40;
    settings.titleTop = -5;
    settings.gdFontName = "宋体";
    settings.gdFontColor = -1;
    settings.gdFontSize = 72;
    settings.gdTop = 650;
    settings.gdShowCom = false;
    settings.gdShowDept = false;
    settings.AdFontName = "黑体";
    settings.AdFontColor = 1;
    settings.AdFontSize = 30;
    settings.AdFontName1 = "楷体";
    settings.AdFontColor1 = 2;
    settings.AdFontSize1 = 31;
    settings.AdFontName2 = "仿宋";
    settings.AdFontColor2 = 3;
    settings.AdFontSize2 = 32;
    settings.adTop = 20;
    settings.gdNumer = 6;
    settings.NumberTop = 480;
    settings.buttonTop = 620;
    settings.ShowX = 11;
    settings.ShowY = 12;
    settings.ShowW = 1300;
    settings.ShowH = 14;
    settings.ShowR = 15;
    settings.ShowNO = false;
    settings.ShowDept = true;
    WriteSettings(settings);
    EXPECT_TRUE(read() == settings);
    EXPECT_TRUE(contents().contains("\r\nshowNo=0\r\n"));
    EXPECT_TRUE(contents().contains("\r\nATltle=\x94\x39\xBD\x35 ")); // U+1F389 in four bytes

    // MusicOff is the run's own and never goes to the file.
    settings.MusicOff = true;
    const QByteArray before = contents();
    WriteSettings(settings);
    EXPECT_EQ(contents(), before);
    EXPECT_FALSE(before.toLower().contains("musicoff"));
}

TEST_F(SettingsTest, PasswordBlanksAreWrittenButNotReadBack) {
    Settings settings = defaultSettings();
    settings.PassWord = "947 ";
    WriteSettings(settings);
    EXPECT_TRUE(contents().contains("\r\nPassWord=947 \r\n"));
    EXPECT_EQ(read().PassWord, "947");
}

TEST_F(SettingsTest, RewriteKeepsTheFilesOwnLines) {
    const QByteArray head = "; written by hand\r\n[other]\r\niTime=99\r\n";
    const QByteArray tail = "[later]\nkey=value\n";
    put(head + "[CONFIG]\nISBLANK=0\n; keep me\nunknown line\nExtra=kept\n" + tail);
    Settings settings = defaultSettings();
    settings.IsBlank = true;
    WriteSettings(settings);
    const QByteArray file = contents();
    EXPECT_TRUE(file.startsWith(head + "[CONFIG]\nISBLANK=1\r\n; keep me\nunknown line\n"
                                       "Extra=kept\n"));
    EXPECT_TRUE(file.endsWith("\r\n" + tail));
    EXPECT_EQ(file.count("[CONFIG]"), 1);
    EXPECT_FALSE(file.contains("\nIsBlank="));
    EXPECT_EQ(read().iTime, 5); // the other section's iTime is not ours
}

TEST_F(SettingsTest, DuplicatesCountTheirFirstOccurrence) {
    put("[config]\nIsBlank=0\nisblank=1\niTime=7\n[Config]\niTime=9\nATltle=second\n");
    const Settings settings = read();
    EXPECT_FALSE(settings.IsBlank);
    EXPECT_EQ(settings.iTime, 7);
    EXPECT_EQ(settings.ATltle, "");
}

TEST_F(SettingsTest, GarbageFileReadsAsDefaults) {
    std::mt19937 random(7);
    QByteArray noise(256 * 1024, Qt::Uninitialized);
    for (char& b : noise)
        b = static_cast<char>(random());
    put(noise);
    EXPECT_TRUE(read() == defaultSettings());
    put(QByteArray(900 * 1024, 'x'));
    EXPECT_TRUE(read() == defaultSettings());
    put(QByteArray(100000, '\n') + "[config\n=\n[]\n==\n[config]]\n");
    EXPECT_TRUE(read() == defaultSettings());
}

TEST_F(SettingsTest, UnwritableFileRaisesItsFullPath) {
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    for (const QString& programDir : {dir.filePath("plain/sub"), dir.filePath("missing/dir")}) {
        SCOPED_TRACE(programDir.toStdString());
        ProgramDir::setOverride(programDir);
        EXPECT_TRUE(read() == defaultSettings());
        QString error = "<no error>";
        try {
            WriteSettings(defaultSettings());
        } catch (const FileError& e) {
            error = e.text();
        }
        EXPECT_EQ(error, "Unable to write to " + programDir + "/config.ini");
    }
}

} // namespace
