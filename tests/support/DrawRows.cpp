#include "support/DrawRows.h"

#include "platform/Database.h"

namespace tombolix::test {

void addBlackListed(TestDatabase& db, const QString& number, const QString& company) {
    db.connection().execute(
        QStringLiteral("insert into AwardBlank (sNo, sName, sCompCode) values (?, ?, ?)"),
        {number, number, company});
}

int addWhiteListed(TestDatabase& db, const QString& number, const QString& name,
                   const QString& company, int item, bool checked, const QString& department) {
    db.connection().execute(QStringLiteral("insert into Award (sNo, sName, sTime, Checked, "
                                           "sCompCode, sDartNo) values (?, ?, ?, ?, ?, ?)"),
                            {number, name, item, checked ? 1 : 0, company, department});
    return int(db.connection().lastInsertId());
}

void addWinner(TestDatabase& db, const QString& number, const QString& company, int item,
               const QString& name) {
    db.connection().execute(
        QStringLiteral("insert into AwardList (sNo, sName, sTime, sCompcode) values (?, ?, ?, ?)"),
        {number, name, item, company});
}

namespace {
QStringList column(TestDatabase& db, const QString& sql) {
    Query query(db.connection(), sql);
    query.open();
    QStringList values;
    for (query.first(); !query.eof(); query.next())
        values << query.value(0).toString();
    return values;
}
} // namespace

QStringList winnersOf(TestDatabase& db) {
    return column(db,
                  QStringLiteral("select sNo || '@' || sCompcode from AwardList order by RecNo"));
}

QStringList winnersOf(TestDatabase& db, int item) {
    return column(db, QStringLiteral("select sNo || '@' || sCompcode from AwardList "
                                     "where sTime = %1 order by RecNo")
                          .arg(item));
}

int scalar(TestDatabase& db, const QString& sql) {
    Query query(db.connection(), sql);
    query.open();
    return query.scalarInteger();
}

QString resultsSnapshot(TestDatabase& db) {
    return column(db, QStringLiteral("select 'item ' || RecNo || ' ' || ExcNum || ' ' || IsExec "
                                     "from AwardItem order by RecNo"))
               .join(QLatin1Char('\n')) +
           QStringLiteral("\n--\n") +
           column(db, QStringLiteral("select RecNo || ' ' || sNo || ' ' || sName || ' ' || "
                                     "sTime || ' ' || sCompcode from AwardList order by RecNo"))
               .join(QLatin1Char('\n')) +
           QStringLiteral("\n--\n") +
           column(db, QStringLiteral("select RecNo || ' ' || Checked from Award order by RecNo"))
               .join(QLatin1Char('\n'));
}

} // namespace tombolix::test
