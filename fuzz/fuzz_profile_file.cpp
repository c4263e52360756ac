// libFuzzer target for the settings-file reader and writer.
#include "platform/Error.h"
#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

using tombolix::ProfileFile;

namespace {

// ProfileFile only loads from a path, so one file per process is reused to
// avoid filling the disk with one file per input.
const QString& scratchPath() {
    static const QString path =
        QDir::tempPath() + QStringLiteral("/fuzz_profile_file.%1.ini").arg(getpid());
    // Left in place only when a finding aborts the run.
    static const int cleanup = std::atexit([] { QFile::remove(path); });
    (void)cleanup;
    return path;
}

// What reading back a written value must give: the writer keeps one line
// without the blanks at its ends, and the reader takes off enclosing quotes.
QString expectedReadBack(QString value) {
    value.replace(QLatin1String("\r\n"), QLatin1String(" "));
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f'; };
    while (!value.isEmpty() && blank(value.front()))
        value.remove(0, 1);
    while (!value.isEmpty() && blank(value.back()))
        value.chop(1);
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString& path = scratchPath();
    {
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        out.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }

    ProfileFile file(path);
    file.load();

    // Keys the program really reads, plus odd spellings to hit case folding.
    const QString section = QStringLiteral("config");
    (void)file.readString(section, QStringLiteral("ATltle"), QStringLiteral("default"));
    (void)file.readString(section, QStringLiteral("atltle"), QString());
    (void)file.readString(QStringLiteral("CONFIG"), QStringLiteral("BackPic"), QString());
    (void)file.readInteger(section, QStringLiteral("iTime"), 5);
    (void)file.readInteger(section, QStringLiteral("iCount"), -1);
    (void)file.readBoolean(section, QStringLiteral("IsMusic"), true);
    (void)file.readString(QString(), QString(), QString());

    // Derive written values from the input so the writer sees GBK text,
    // line breaks and quotes as well.
    const QString value = QString::fromUtf8(reinterpret_cast<const char*>(data),
                                            static_cast<qsizetype>(size < 64 ? size : 64));
    file.writeString(section, QStringLiteral("ATltle"), value);
    file.writeInteger(section, QStringLiteral("iTime"), static_cast<qint32>(size));
    file.writeBoolean(QStringLiteral("other"), QStringLiteral("flag"), size % 2 == 0);
    file.writeString(section, QStringLiteral("NewKey"), QStringLiteral("新值\r\n第二行"));
    (void)file.readString(section, QStringLiteral("NewKey"), QString());

    bool saved = true;
    try {
        file.save();
    } catch (const tombolix::FileError&) {
        // Expected when a too-large input made the file not replaceable.
        saved = false;
    }

    // Whatever the file held before, the values written read back as written.
    ProfileFile again(path);
    again.load();
    const QString title = again.readString(section, QStringLiteral("ATltle"), QString());
    const qint32 time = again.readInteger(section, QStringLiteral("iTime"), -1);
    if (saved && (title != expectedReadBack(value) || time != static_cast<qint32>(size)))
        std::abort();
    return 0;
}
