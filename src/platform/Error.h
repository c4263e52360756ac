#pragma once

#include <QString>
#include <stdexcept>

namespace tombolix {

// Every failure the program reports carries the text the operator sees: the
// engine's message, or a file's own. The general error handler shows text().
class Error : public std::runtime_error {
public:
    explicit Error(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};

// Raised by the database layer with the engine's message.
class DbError : public Error {
public:
    using Error::Error;
};

// Raised by file readers and writers (settings file, pictures, spreadsheets).
class FileError : public Error {
public:
    using Error::Error;
};

} // namespace tombolix
