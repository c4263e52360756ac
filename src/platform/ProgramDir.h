#pragma once

#include <QString>

namespace tombolix {

// The one place that knows the program's own directory, where config.dll,
// config.ini and the default media live. Never the working directory.
class ProgramDir {
public:
    // The directory with its trailing separator.
    static QString path();
    // path() + name.
    static QString file(const QString& name);
    // Tests point the program at a directory of their own; an empty text
    // returns to the directory of the running program file.
    static void setOverride(const QString& dir);
};

} // namespace tombolix
