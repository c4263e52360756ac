#pragma once

#include "support/TestDatabase.h"

#include <QString>
#include <QStringList>

namespace tombolix::test {

// Rows of the lists and results, written straight into a test database.
void addBlackListed(TestDatabase& db, const QString& number, const QString& company);
// Returns the entry's RecNo.
int addWhiteListed(TestDatabase& db, const QString& number, const QString& name,
                   const QString& company, int item, bool checked = false,
                   const QString& department = QString());
void addWinner(TestDatabase& db, const QString& number, const QString& company, int item,
               const QString& name = QString());

// "number@company" of every Winner record, in RecNo order.
QStringList winnersOf(TestDatabase& db);
// "number@company" of the Winner records of one item.
QStringList winnersOf(TestDatabase& db, int item);
int scalar(TestDatabase& db, const QString& sql);
// Every row of the prize items, the winners and the white list as text, to
// compare a database before and after.
QString resultsSnapshot(TestDatabase& db);

} // namespace tombolix::test
