#include "store/Statements.h"

namespace tombolix::sql {

QString literal(const QString& text) {
    QString body = text;
    // The engine ends a statement at a NUL character, so it cannot stand in a
    // literal; every other character is kept.
    body.remove(QChar(0));
    body.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + body + QLatin1Char('\'');
}

QString selectEmployees() {
    return QStringLiteral("select * from EmpNo order by RecNo");
}
QString selectWinners() {
    return QStringLiteral("select * from AwardList order by RecNo");
}
QString selectBlackList() {
    return QStringLiteral("select * from AwardBlank order by RecNo");
}
QString selectWhiteList() {
    return QStringLiteral("select * from Award order by RecNo");
}
QString selectUnfinishedItems() {
    return QStringLiteral("select * from AwardItem where IsExec =0 order by RecNo");
}

QString selectAllItems() {
    return QStringLiteral("select * from AwardItem order by RecNo");
}
QString selectAllWhiteRows() {
    return QStringLiteral("select * from Award ");
}
QString selectWhiteListForEditing() {
    return QStringLiteral("select * from award order by RecNo");
}
QString selectBlackListForEditing() {
    return QStringLiteral("select * from AwardBlank order by RecNo");
}
QString selectEmployeesByCode() {
    return QStringLiteral("select * from EmpNo order by EmpCode");
}
QString selectItemsBySeq() {
    return QStringLiteral("select * from AwardItem order by iSeq");
}
QString selectItemsWithPlaces() {
    return QStringLiteral("select * from AwardItem where ExcNum <SumNumber order by iSeq");
}
QString selectWinnersWithItems() {
    return QStringLiteral("SELECT AwardList.sNo, AwardList.sName, AwardItem.ItemName, "
                          "AwardItem.Awards,sCompCode,AwardItem.RecNo\n"
                          "FROM AwardList INNER JOIN AwardItem ON AwardList.sTime = "
                          "AwardItem.RecNo\n"
                          "order by AwardList.sTime ");
}

QString selectCurrentItem(int itemRecNo) {
    return QStringLiteral("select * from AwardItem where (ExcNum<SumNumber) and (RecNo = %1) "
                          "order by iSeq limit 1")
        .arg(itemRecNo);
}

QString selectFirstOpenItem() {
    // Of two items with the same iSeq the older one comes first, every time.
    return QStringLiteral(
        "select RecNo from AwardItem where IsExec = 0 order by iSeq, RecNo limit 1");
}

QString selectOpenWhiteRowsOfItem(int itemRecNo) {
    return QStringLiteral("select * from Award where Checked =0 and sTime =%1 order by RecNo")
        .arg(itemRecNo);
}

QString selectWhiteRowsOfPerson(const QString& number, const QString& company) {
    return QStringLiteral("Select [sNo] from Award where [sNo]=") + literal(number) +
           QStringLiteral(" and [sCompCode] =") + literal(company) +
           QStringLiteral(" order by RecNo");
}

QString deleteWinner(const QString& number, const QString& company) {
    return QStringLiteral("Delete from AwardList where [sNo]=") + literal(number) +
           QStringLiteral(" and [sCompCode] =") + literal(company);
}

QString countItemWinners(int itemRecNo) {
    return QStringLiteral("select Count(*) from AwardList  where [sTime]=%1").arg(itemRecNo);
}

QString setItemDrawnCount(int count, int itemRecNo) {
    return QStringLiteral("update AwardItem set ExcNum = %1 where [RecNo]=%2")
        .arg(count)
        .arg(itemRecNo);
}

QString deleteAllWinners() {
    return QStringLiteral("Delete from AwardList ");
}
QString deleteAllEmployees() {
    return QStringLiteral("delete from EmpNo ");
}

QString insertEmployee(const QString& number, const QString& name, const QString& company,
                       const QString& department) {
    return QStringLiteral("insert into EmpNo([EmpCode],[EmpName],[CompCode],[DartNo]) values(") +
           literal(number) + QLatin1Char(',') + literal(name) + QLatin1Char(',') +
           literal(company) + QLatin1Char(',') + literal(department) + QLatin1Char(')');
}

} // namespace tombolix::sql
