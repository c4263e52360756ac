#pragma once

#include <QString>

namespace tombolix {

class Connection;

// Taking a winner off the list gives the prize item a free place again. Each
// runs on its own query over the shared connection; the draw screen's views
// see the change once they are reopened.

// Deletes every Winner record of the person (number and company) and sets the
// item's ExcNum to the records of it that remain, both in one transaction.
// True when a record was deleted; nothing is recounted otherwise.
bool DeleteWinner(Connection& connection, const QString& number, const QString& company,
                  const QString& itemRecNo);
// The number of Winner records of the item.
int CountItemWinners(Connection& connection, const QString& itemRecNo);
// Stores count as the item's ExcNum; true when the item exists. IsExec stays.
bool SetItemDrawnCount(Connection& connection, const QString& itemRecNo, const QString& count);

} // namespace tombolix
