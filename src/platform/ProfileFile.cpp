#include "platform/ProfileFile.h"

#include "platform/Error.h"
#include "platform/TextCodec.h"

#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <limits>
#include <optional>
#include <unistd.h>

namespace tombolix {

namespace {

// Trimming works on the raw bytes: no GBK or GB18030 byte that follows a lead
// byte is ever a blank or a quotation mark, so this cannot cut a character.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

QByteArrayView trimBlanks(QByteArrayView v) {
    while (!v.isEmpty() && isBlank(v.front()))
        v = v.sliced(1);
    while (!v.isEmpty() && isBlank(v.back()))
        v.chop(1);
    return v;
}

bool isAscii(QByteArrayView v) {
    for (const char c : v)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A value must stay on its line, or it would turn into lines of its own.
QString singleLine(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

// A section or key name as asked for, compared without regard to letter case.
// ASCII names (all of ours) are compared as bytes and only ever match ASCII
// names, so a file full of other text costs no decoding; other names are
// decoded and case-folded.
class Name {
public:
    explicit Name(const QString& text)
        : bytes_(trimBlanks(TextCodec::encode(singleLine(text))).toByteArray()),
          ascii_(isAscii(bytes_)) {
        if (!ascii_)
            folded_ = TextCodec::decode(bytes_).toCaseFolded();
    }

    const QByteArray& bytes() const { return bytes_; }

    bool matches(QByteArrayView candidate) const {
        if (isAscii(candidate) != ascii_)
            return false;
        if (!ascii_)
            return TextCodec::decode(candidate.toByteArray()).toCaseFolded() == folded_;
        if (candidate.size() != bytes_.size())
            return false;
        for (qsizetype i = 0; i < candidate.size(); ++i)
            if (asciiLower(candidate[i]) != asciiLower(bytes_[i]))
                return false;
        return true;
    }

private:
    QByteArray bytes_;
    bool ascii_;
    QString folded_;
};

struct Line {
    qsizetype begin; // first byte of the line
    qsizetype end;   // end of its text, before CR LF or LF
    qsizetype next;  // first byte of the following line
};

Line lineAt(const QByteArray& data, qsizetype pos) {
    const qsizetype lf = data.indexOf('\n', pos);
    Line line{pos, lf < 0 ? data.size() : lf, lf < 0 ? data.size() : lf + 1};
    if (line.end > line.begin && data[line.end - 1] == '\r')
        --line.end;
    return line;
}

enum class Kind { Other, Section, Key };

struct Parsed {
    Kind kind = Kind::Other;
    QByteArrayView name;
    qsizetype valueBegin = 0; // offset in the file of the byte after '='
};

// Comments, blank lines and anything else are Kind::Other and never touched.
Parsed parse(const QByteArray& data, const Line& line) {
    const QByteArrayView text =
        trimBlanks(QByteArrayView(data.constData() + line.begin, line.end - line.begin));
    if (text.isEmpty() || text.front() == ';')
        return {};
    if (text.front() == '[') {
        qsizetype close = text.size() - 1;
        while (close > 0 && text[close] != ']')
            --close;
        if (close == 0)
            return {};
        return {Kind::Section, trimBlanks(text.sliced(1, close - 1)), 0};
    }
    const qsizetype eq = text.indexOf('=');
    if (eq < 0)
        return {};
    return {Kind::Key, trimBlanks(text.first(eq)), (text.data() - data.constData()) + eq + 1};
}

struct Place {
    bool sectionFound = false;
    bool keyFound = false;
    Line keyLine{0, 0, 0};
    qsizetype valueBegin = 0;
    // Where a new key goes: after the section's last key line, or after the
    // section line when it has none.
    qsizetype insertAt = 0;
};

// Only the first section of the name counts, and in it the first such key.
Place locate(const QByteArray& data, const Name& section, const Name& key) {
    Place place;
    for (qsizetype pos = 0; pos < data.size();) {
        const Line line = lineAt(data, pos);
        pos = line.next;
        const Parsed parsed = parse(data, line);
        if (parsed.kind == Kind::Section) {
            if (place.sectionFound)
                break;
            if (section.matches(parsed.name)) {
                place.sectionFound = true;
                place.insertAt = line.next;
            }
        } else if (parsed.kind == Kind::Key && place.sectionFound) {
            if (key.matches(parsed.name)) {
                place.keyFound = true;
                place.keyLine = line;
                place.valueBegin = parsed.valueBegin;
                return place;
            }
            place.insertAt = line.next;
        }
    }
    return place;
}

std::optional<QByteArrayView> findValue(const QByteArray& data, const QString& section,
                                        const QString& key) {
    const Place place = locate(data, Name(section), Name(key));
    if (!place.keyFound)
        return std::nullopt;
    return QByteArrayView(data.constData() + place.valueBegin,
                          place.keyLine.end - place.valueBegin);
}

int digitValue(char16_t c, int base) {
    int value = -1;
    if (c >= u'0' && c <= u'9')
        value = c - u'0';
    else if (c >= u'a' && c <= u'f')
        value = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        value = c - u'A' + 10;
    return value < base ? value : -1;
}

std::optional<qint32> parseInteger(const QString& text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < n && text[i] == u'$') {
        base = 16;
        i += 1;
    } else if (n - i > 2 && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i == n)
        return std::nullopt;
    // Hexadecimal is a 32-bit pattern (colours such as 0xFF000005); decimal
    // must be a value an int holds.
    const quint64 limit = base == 16 ? 0xFFFFFFFFull
                          : negative ? quint64(std::numeric_limits<qint32>::max()) + 1
                                     : quint64(std::numeric_limits<qint32>::max());
    quint64 value = 0;
    for (; i < n; ++i) {
        const int digit = digitValue(text[i].unicode(), base);
        if (digit < 0)
            return std::nullopt;
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    quint32 bits = static_cast<quint32>(value);
    if (negative)
        bits = 0u - bits;
    return static_cast<qint32>(bits);
}

void syncDirectory(const QString& dir) {
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

ProfileFile::ProfileFile(const QString& path) : path_(QFileInfo(path).absoluteFilePath()) {}

void ProfileFile::load() {
    data_.clear();
    replaceable_ = true;
    const QFileInfo info(path_);
    if (!info.exists() && !info.isSymLink())
        return;
    QFile file(path_);
    if (!info.isFile() || info.size() > kMaxFileSize || !file.open(QIODevice::ReadOnly)) {
        replaceable_ = false;
        return;
    }
    // The size may change between the check and the read, so read one byte
    // beyond the limit to notice.
    QByteArray bytes = file.read(kMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxFileSize) {
        replaceable_ = false;
        return;
    }
    data_ = std::move(bytes);
}

void ProfileFile::save() {
    const auto fail = [this] {
        throw FileError(QStringLiteral("Unable to write to %1").arg(path_));
    };
    if (!replaceable_)
        fail();
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        fail();
    if (file.write(data_) != data_.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        fail(); // the temporary file goes with `file`
    }
    if (!file.commit())
        fail();
    // Make the rename itself survive a power cut.
    syncDirectory(QFileInfo(path_).absolutePath());
}

QString ProfileFile::readString(const QString& section, const QString& key,
                                const QString& defaultValue) const {
    const std::optional<QByteArrayView> raw = findValue(data_, section, key);
    if (!raw)
        return defaultValue;
    QByteArrayView value = trimBlanks(*raw);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    return TextCodec::decode(TextCodec::leftBytes(value.toByteArray(), kMaxValueBytes));
}

qint32 ProfileFile::readInteger(const QString& section, const QString& key,
                                qint32 defaultValue) const {
    return parseInteger(readString(section, key, QString())).value_or(defaultValue);
}

bool ProfileFile::readBoolean(const QString& section, const QString& key, bool defaultValue) const {
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void ProfileFile::writeString(const QString& section, const QString& key, const QString& value) {
    const Name sectionName(section);
    const Name keyName(key);
    const QByteArray line = TextCodec::encode(singleLine(value)) + "\r\n";
    const Place place = locate(data_, sectionName, keyName);
    if (place.keyFound) {
        // Everything up to '=' stays, so the key keeps its spelling.
        data_.replace(place.valueBegin, place.keyLine.next - place.valueBegin, line);
        return;
    }
    QByteArray added = keyName.bytes() + '=' + line;
    qsizetype at = place.insertAt;
    if (!place.sectionFound) {
        added.prepend("[" + sectionName.bytes() + "]\r\n");
        at = data_.size();
    }
    // A last line without its line break gets one before anything follows it.
    if (at == data_.size() && !data_.isEmpty() && !data_.endsWith('\n'))
        added.prepend(data_.endsWith('\r') ? "\n" : "\r\n");
    data_.insert(at, added);
}

void ProfileFile::writeInteger(const QString& section, const QString& key, qint32 value) {
    writeString(section, key, QString::number(value));
}

void ProfileFile::writeBoolean(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QString readProfileString(const QString& path, const QString& section, const QString& key,
                          const QString& defaultValue) {
    ProfileFile file(path);
    file.load();
    return file.readString(section, key, defaultValue);
}

qint32 readProfileInteger(const QString& path, const QString& section, const QString& key,
                          qint32 defaultValue) {
    ProfileFile file(path);
    file.load();
    return file.readInteger(section, key, defaultValue);
}

bool readProfileBoolean(const QString& path, const QString& section, const QString& key,
                        bool defaultValue) {
    ProfileFile file(path);
    file.load();
    return file.readBoolean(section, key, defaultValue);
}

void writeProfileString(const QString& path, const QString& section, const QString& key,
                        const QString& value) {
    ProfileFile file(path);
    file.load();
    file.writeString(section, key, value);
    file.save();
}

void writeProfileInteger(const QString& path, const QString& section, const QString& key,
                         qint32 value) {
    writeProfileString(path, section, key, QString::number(value));
}

void writeProfileBoolean(const QString& path, const QString& section, const QString& key,
                         bool value) {
    writeProfileString(path, section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace tombolix
