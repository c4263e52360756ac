#pragma once

#include <QString>

namespace tombolix {

// The screen's look and the draw's options, kept in config.ini beside the
// program (section "config"). Each field is named by its key in the file;
// colours are 32-bit colour values as the file has them.
struct Settings {
    QString backImage;
    bool MusicOff = false; // the operator's switch for this run; not kept in the file
    bool IsBlank = false;
    QString PassWord;
    QString backSound;
    QString ATltle;
    int iTime = 0;
    QString titleFontName;
    int titleFontColor = 0;
    int titleFontSize = 0;
    int titleTop = 0;
    QString gdFontName;
    int gdFontColor = 0;
    int gdFontSize = 0;
    int gdTop = 0;
    bool gdShowCom = false;
    bool gdShowDept = false;
    QString AdFontName;
    int AdFontColor = 0;
    int AdFontSize = 0;
    QString AdFontName1;
    int AdFontColor1 = 0;
    int AdFontSize1 = 0;
    QString AdFontName2;
    int AdFontColor2 = 0;
    int AdFontSize2 = 0;
    int adTop = 0;
    int gdNumer = 0;
    int NumberTop = 0;
    int buttonTop = 0;
    int ShowX = 0;
    int ShowY = 0;
    int ShowW = 0;
    int ShowH = 0;
    int ShowR = 0;
    bool ShowNO = false;
    bool ShowDept = false;
};

bool operator==(const Settings& a, const Settings& b);
inline bool operator!=(const Settings& a, const Settings& b) {
    return !(a == b);
}

// What ReadSettings() gives for a missing or empty config.ini.
Settings defaultSettings();

// Fills every field but MusicOff from config.ini in the program directory;
// missing or unreadable values take their defaults. Never fails on the file's
// content.
void ReadSettings(Settings& settings);

// Writes every field but MusicOff into config.ini with one atomic save,
// leaving the file's other lines alone. Raises FileError
// "Unable to write to <full path>".
void WriteSettings(const Settings& settings);

} // namespace tombolix
