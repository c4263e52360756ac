#pragma once

#include <QByteArray>
#include <QString>

namespace tombolix {

// A settings (.ini) file read and written the way the Windows profile-file
// functions do it, since the settings file was laid out for them: "[section]"
// lines and "key=value" lines, names matched without regard to letter case,
// the first of duplicate sections or keys counting. Text is GBK/GB18030 on
// disk (see TextCodec).
//
// The file is held as its raw bytes; a write changes only the line of its key
// (or adds one), so comments, unknown lines and other sections stay exactly as
// they are. Load once, read or write any number of keys, then save() once:
//
//     ProfileFile file(path);
//     file.load();
//     file.writeString("config", "ATltle", title);
//     file.writeInteger("config", "iTime", 5);
//     file.save();
class ProfileFile {
public:
    // A settings file is a few kilobytes. Anything larger is not ours: it
    // reads as empty and save() refuses to replace it, so nothing is lost.
    // The bound also keeps every lookup (a pass over the file) quick.
    static constexpr qsizetype kMaxFileSize = 1024 * 1024;
    // Longest value readString() returns, in the file's bytes, as the
    // Windows functions cut values to their 2048-byte buffer.
    static constexpr qsizetype kMaxValueBytes = 2047;

    explicit ProfileFile(const QString& path);

    // The absolute path, as used in error messages.
    const QString& path() const { return path_; }

    // Takes in the file. A missing file is an empty one. A file that cannot be
    // read in whole (unreadable, not a plain file, too large) reads as empty
    // and will not be overwritten.
    void load();
    // Replaces the file atomically: a temporary file in the same directory,
    // flushed to disk, then renamed over. Raises FileError
    // "Unable to write to <path>".
    void save();

    // The value without the blanks at its ends and without one pair of
    // quotation marks ('...' or "...") enclosing it whole; defaultValue when
    // the section or key is missing.
    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    // Decimal, "0x"/"0X" hexadecimal (more than two characters) or "$"
    // hexadecimal, an optional sign first; hexadecimal wraps into 32 bits.
    // defaultValue for a missing key, an empty value, a decimal out of range
    // or anything that is not wholly a number.
    qint32 readInteger(const QString& section, const QString& key, qint32 defaultValue) const;
    // readInteger() != 0.
    bool readBoolean(const QString& section, const QString& key, bool defaultValue) const;

    // Replaces the value of the key's first line in the first such section,
    // keeping the key's spelling in the file; otherwise adds "key=value" after
    // the section's last key, and the section at the end of the file when it
    // is missing. Line breaks in the value are written as blanks.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, qint32 value);
    void writeBoolean(const QString& section, const QString& key, bool value);

    // The file's content as it stands in memory.
    const QByteArray& bytes() const { return data_; }

private:
    QString path_;
    QByteArray data_;
    bool replaceable_ = true;
};

// One-shot forms: each loads the file; the writers save it at once.
QString readProfileString(const QString& path, const QString& section, const QString& key,
                          const QString& defaultValue);
qint32 readProfileInteger(const QString& path, const QString& section, const QString& key,
                          qint32 defaultValue);
bool readProfileBoolean(const QString& path, const QString& section, const QString& key,
                        bool defaultValue);
void writeProfileString(const QString& path, const QString& section, const QString& key,
                        const QString& value);
void writeProfileInteger(const QString& path, const QString& section, const QString& key,
                         qint32 value);
void writeProfileBoolean(const QString& path, const QString& section, const QString& key,
                         bool value);

} // namespace tombolix
