#include "support/TestDatabase.h"

#include "platform/ProgramDir.h"
#include "store/DrawDatabase.h"

namespace tombolix::test {

TestDatabase::TestDatabase() : dirPath_(tempDir_.path() + QLatin1Char('/')) {
    ProgramDir::setOverride(dirPath_);
    connection_.openFile(file(), drawdb::kPassword, true);
    drawdb::createSchema(connection_);
}

TestDatabase::~TestDatabase() {
    connection_.close();
    ProgramDir::setOverride(QString());
}

QString TestDatabase::file() const {
    return dirPath_ + drawdb::kFileName;
}

void TestDatabase::addEmployee(const QString& code, const QString& name, const QString& company,
                               const QString& department) {
    connection_.execute(QStringLiteral("insert into EmpNo (EmpCode, EmpName, CompCode, DartNo) "
                                       "values (?, ?, ?, ?)"),
                        {code, name, company, department});
}

int TestDatabase::addItem(const QString& name, int total, int perDraw, int seq, int drawn) {
    connection_.execute(
        QStringLiteral("insert into AwardItem (iSeq, ItemName, Awards, SumNumber, "
                       "iNumber, IsExec, ExcNum) values (?, ?, ?, ?, ?, ?, ?)"),
        {seq, name, name + QStringLiteral("奖品"), total, perDraw, drawn >= total ? 1 : 0, drawn});
    return int(connection_.lastInsertId());
}

} // namespace tombolix::test
