#pragma once

#include "platform/Database.h"

#include <QTemporaryDir>
#include <memory>

namespace tombolix::test {

// A new keyed Draw database with the five empty tables in a temporary
// program directory, which ProgramDir points at while the object lives.
class TestDatabase {
public:
    TestDatabase();
    ~TestDatabase();

    const QString& dir() const { return dirPath_; }
    QString file() const;
    Connection& connection() { return connection_; }

    void addEmployee(const QString& code, const QString& name, const QString& company,
                     const QString& department = QString());
    // Returns the new item's RecNo.
    int addItem(const QString& name, int total, int perDraw, int seq = 0, int drawn = 0);

private:
    QTemporaryDir tempDir_;
    QString dirPath_;
    Connection connection_;
};

} // namespace tombolix::test
