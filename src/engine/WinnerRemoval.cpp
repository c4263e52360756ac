#include "engine/WinnerRemoval.h"

#include "platform/Database.h"
#include "store/Statements.h"

namespace tombolix {

namespace {
// Item numbers and counts arrive as decimal text from the winners grid.
int decimal(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        throw Error(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}
} // namespace

bool DeleteWinner(Connection& connection, const QString& number, const QString& company,
                  const QString& itemRecNo) {
    const int item = decimal(itemRecNo);
    // A recount that failed after the delete would leave the item one place
    // short for good.
    Transaction transaction(connection);
    Query query(connection);
    const bool deleted = query.execSql(sql::deleteWinner(number, company)) != 0;
    if (deleted) {
        const int remaining = CountItemWinners(connection, QString::number(item));
        SetItemDrawnCount(connection, QString::number(item), QString::number(remaining));
    }
    transaction.commit();
    return deleted;
}

int CountItemWinners(Connection& connection, const QString& itemRecNo) {
    Query query(connection, sql::countItemWinners(decimal(itemRecNo)));
    query.open();
    return query.scalarInteger();
}

bool SetItemDrawnCount(Connection& connection, const QString& itemRecNo, const QString& count) {
    Query query(connection);
    return query.execSql(sql::setItemDrawnCount(decimal(count), decimal(itemRecNo))) != 0;
}

} // namespace tombolix
