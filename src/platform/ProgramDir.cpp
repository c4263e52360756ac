#include "platform/ProgramDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tombolix {

namespace {
QString& overrideDir() {
    static QString dir;
    return dir;
}

QString withSeparator(QString dir) {
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString runningProgramDir() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // Before an application object exists, ask the kernel for our own file.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section('/', 0, -2);
}
} // namespace

QString ProgramDir::path() {
    if (!overrideDir().isEmpty())
        return withSeparator(overrideDir());
    return withSeparator(runningProgramDir());
}

QString ProgramDir::file(const QString& name) {
    return path() + name;
}

void ProgramDir::setOverride(const QString& dir) {
    overrideDir() = QDir::cleanPath(dir);
}

} // namespace tombolix
