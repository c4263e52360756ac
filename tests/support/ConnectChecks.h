#pragma once

#include <QString>

namespace tombolix::test {

// Connects to config.dll in the program directory, expects the connection to
// be refused with exactly one "错误信息" warning box, and returns its text.
QString expectConnectionRefused();

} // namespace tombolix::test
