#include "store/Settings.h"

#include "platform/ProfileFile.h"
#include "platform/ProgramDir.h"

#include <iterator>
#include <type_traits>
#include <variant>

namespace tombolix {

namespace {

const QString kSection = QStringLiteral("config");

QString configPath() {
    // Built at every use: tests and the program may point ProgramDir elsewhere.
    return ProgramDir::file(QStringLiteral("config.ini"));
}

template <typename T> using FieldOf = T Settings::*;
using Field = std::variant<FieldOf<QString>, FieldOf<int>, FieldOf<bool>>;

struct Key {
    const char* name;
    Field field;
    const char* defaultText;
    int defaultNumber;
    bool inProgramDir; // the default text names a file beside the program
};

constexpr Key text(const char* name, FieldOf<QString> field, const char* defaultText,
                   bool inProgramDir = false) {
    return {name, field, defaultText, 0, inProgramDir};
}
constexpr Key number(const char* name, FieldOf<int> field, int defaultValue) {
    return {name, field, nullptr, defaultValue, false};
}
constexpr Key flag(const char* name, FieldOf<bool> field, bool defaultValue) {
    return {name, field, nullptr, defaultValue ? 1 : 0, false};
}

// Every key with its default, in the order the settings are read. "showNo"
// and "ShowNO" are one key (names are case-blind) read twice into ShowNO: the
// second read wins, so its default is in effect true.
constexpr Key kReadOrder[] = {
    text("backSound", &Settings::backSound, "back.wma", true),
    text("ATltle", &Settings::ATltle, ""),
    number("iTime", &Settings::iTime, 5),
    flag("showNo", &Settings::ShowNO, false),
    text("backImage", &Settings::backImage, "backgroup.jpg", true),
    number("titleTop", &Settings::titleTop, 10),
    text("titleFontName", &Settings::titleFontName, "微软雅黑"),
    number("titleFontColor", &Settings::titleFontColor, -16777211),
    number("titleFontSize", &Settings::titleFontSize, 25),
    text("gdFontName", &Settings::gdFontName, "微软雅黑"),
    number("gdFontColor", &Settings::gdFontColor, 15780518),
    number("gdFontSize", &Settings::gdFontSize, 60),
    number("adTop", &Settings::adTop, 10),
    number("gdTop", &Settings::gdTop, 700),
    number("gdNumer", &Settings::gdNumer, 0),
    text("AdFontName", &Settings::AdFontName, "微软雅黑"),
    number("AdFontColor", &Settings::AdFontColor, 16711680),
    number("AdFontSize", &Settings::AdFontSize, 25),
    text("AdFontName1", &Settings::AdFontName1, "微软雅黑"),
    number("AdFontColor1", &Settings::AdFontColor1, 255),
    number("AdFontSize1", &Settings::AdFontSize1, 28),
    text("AdFontName2", &Settings::AdFontName2, "微软雅黑"),
    number("AdFontColor2", &Settings::AdFontColor2, 255),
    number("AdFontSize2", &Settings::AdFontSize2, 28),
    flag("IsBlank", &Settings::IsBlank, true),
    text("PassWord", &Settings::PassWord, "947"),
    flag("gdShowCom", &Settings::gdShowCom, true),
    flag("gdShowDept", &Settings::gdShowDept, true),
    number("NumberTop", &Settings::NumberTop, 500),
    number("buttonTop", &Settings::buttonTop, 600),
    number("ShowX", &Settings::ShowX, 100),
    number("ShowY", &Settings::ShowY, 100),
    number("ShowW", &Settings::ShowW, 100),
    number("ShowH", &Settings::ShowH, 100),
    number("ShowR", &Settings::ShowR, 4),
    flag("ShowNO", &Settings::ShowNO, true),
    flag("ShowDept", &Settings::ShowDept, false),
};

// The order the settings are written in, by key name (each found above).
// ShowNO goes out twice under its two spellings; the second write lands on
// the line of the first, so the file keeps one "showNo" line.
constexpr const char* kWriteOrder[] = {
    "backSound",     "backImage",      "ATltle",        "iTime",        "showNo",
    "titleFontName", "titleFontColor", "titleFontSize", "gdFontName",   "gdFontColor",
    "gdFontSize",    "AdFontName",     "AdFontColor",   "AdFontSize",   "AdFontName1",
    "AdFontColor1",  "AdFontSize1",    "AdFontName2",   "AdFontColor2", "AdFontSize2",
    "IsBlank",       "PassWord",       "adTop",         "titleTop",     "gdTop",
    "gdNumer",       "gdShowCom",      "gdShowDept",    "NumberTop",    "buttonTop",
    "ShowX",         "ShowY",          "ShowW",         "ShowH",        "ShowR",
    "ShowNO",        "ShowDept",
};

constexpr bool sameName(const char* a, const char* b) {
    while (*a != 0 && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

constexpr int readIndex(const char* name) {
    for (int i = 0; i < int(std::size(kReadOrder)); ++i)
        if (sameName(kReadOrder[i].name, name))
            return i;
    return -1;
}

// Both lists hold the same keys, checked while compiling.
constexpr bool sameKeys() {
    if (std::size(kReadOrder) != std::size(kWriteOrder))
        return false;
    for (const char* name : kWriteOrder)
        if (readIndex(name) < 0)
            return false;
    for (const Key& key : kReadOrder) {
        bool written = false;
        for (const char* name : kWriteOrder)
            written = written || sameName(name, key.name);
        if (!written)
            return false;
    }
    return true;
}
static_assert(sameKeys(), "every key is read and written");

void readKey(const ProfileFile& file, const Key& key, Settings& settings) {
    const QString name = QLatin1String(key.name);
    std::visit(
        [&](auto field) {
            using F = decltype(field);
            if constexpr (std::is_same_v<F, FieldOf<QString>>) {
                QString fallback = QString::fromUtf8(key.defaultText);
                if (key.inProgramDir)
                    fallback.prepend(ProgramDir::path());
                settings.*field = file.readString(kSection, name, fallback);
            } else if constexpr (std::is_same_v<F, FieldOf<int>>) {
                settings.*field = file.readInteger(kSection, name, key.defaultNumber);
            } else {
                settings.*field = file.readBoolean(kSection, name, key.defaultNumber != 0);
            }
        },
        key.field);
}

void writeKey(ProfileFile& file, const Key& key, const Settings& settings) {
    const QString name = QLatin1String(key.name);
    std::visit(
        [&](auto field) {
            using F = decltype(field);
            if constexpr (std::is_same_v<F, FieldOf<QString>>)
                file.writeString(kSection, name, settings.*field);
            else if constexpr (std::is_same_v<F, FieldOf<int>>)
                file.writeInteger(kSection, name, settings.*field);
            else
                file.writeBoolean(kSection, name, settings.*field);
        },
        key.field);
}

void readFrom(const ProfileFile& file, Settings& settings) {
    for (const Key& key : kReadOrder)
        readKey(file, key, settings);
}

} // namespace

bool operator==(const Settings& a, const Settings& b) {
    if (a.MusicOff != b.MusicOff)
        return false;
    for (const Key& key : kReadOrder) {
        const bool same = std::visit([&](auto field) { return a.*field == b.*field; }, key.field);
        if (!same)
            return false;
    }
    return true;
}

Settings defaultSettings() {
    Settings settings;
    readFrom(ProfileFile(configPath()), settings); // never loaded, so empty
    return settings;
}

void ReadSettings(Settings& settings) {
    ProfileFile file(configPath());
    file.load();
    readFrom(file, settings);
}

void WriteSettings(const Settings& settings) {
    ProfileFile file(configPath());
    file.load();
    for (const char* name : kWriteOrder)
        writeKey(file, kReadOrder[readIndex(name)], settings);
    file.save();
}

} // namespace tombolix
