#include "store/DrawDatabase.h"

#include "platform/Database.h"
#include "platform/MessageBox.h"
#include "platform/ProgramDir.h"

namespace tombolix {

QString drawdb::connectionString(const QString& dir) {
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=") + dir +
           kFileName + QStringLiteral(";") +
           QStringLiteral("Mode=Share Deny None;Extended Properties=\"\";") +
           QStringLiteral("Jet OLEDB:System database=\"\";") +
           QStringLiteral("Jet OLEDB:Registry Path=\"\";") +
           QStringLiteral("Jet OLEDB:Database Password=\"") + kPassword + QStringLiteral("\";") +
           QStringLiteral("Jet OLEDB:Engine Type=5;") +
           QStringLiteral("Jet OLEDB:Database Locking Mode=1;") +
           QStringLiteral("Jet OLEDB:Global Partial Bulk Ops=2;") +
           QStringLiteral("Jet OLEDB:Global Bulk Transactions=1;") +
           QStringLiteral("Jet OLEDB:New Database Password=\"\";") +
           QStringLiteral("Jet OLEDB:Create System Database=False;") +
           QStringLiteral("Jet OLEDB:Encrypt Database=False;") + QStringLiteral("Jet OLEDB:Don") +
           QStringLiteral("'") + QStringLiteral("t Copy Locale on Compact=False;") +
           QStringLiteral("Jet OLEDB:Compact Without Replica Repair=False;") +
           QStringLiteral("Jet OLEDB:SFP=False");
}

void drawdb::createSchema(Connection& connection) {
    // Text sizes are constraints, so an over-long value is refused by the
    // engine with its own message rather than cut.
    connection.executeScript(QStringLiteral(R"(
create table EmpNo (
  RecNo integer primary key autoincrement,
  EmpCode text default '' check (length(EmpCode) <= 50),
  EmpName text default '' check (length(EmpName) <= 50),
  CompCode text default '' check (length(CompCode) <= 100),
  DartNo text default '' check (length(DartNo) <= 50));
create table AwardItem (
  RecNo integer primary key autoincrement,
  iSeq integer default 0 check (iSeq between -2147483648 and 2147483647),
  ItemName text default '' check (length(ItemName) <= 50),
  Awards text default '' check (length(Awards) <= 50),
  SumNumber integer default 0 check (SumNumber between -2147483648 and 2147483647),
  iNumber integer default 0 check (iNumber between -2147483648 and 2147483647),
  IsExec integer not null default 0 check (IsExec in (0, 1)),
  ExcNum integer default 0 check (ExcNum between -2147483648 and 2147483647));
create table Award (
  RecNo integer primary key autoincrement,
  sNo text default '' check (length(sNo) <= 50),
  sName text default '' check (length(sName) <= 50),
  sTime integer default 0 check (sTime between -2147483648 and 2147483647),
  Checked integer not null default 0 check (Checked in (0, 1)),
  sCompCode text default '' check (length(sCompCode) <= 100),
  sDartNo text default '' check (length(sDartNo) <= 50));
create table AwardBlank (
  RecNo integer primary key autoincrement,
  sNo text default '' check (length(sNo) <= 50),
  sName text default '' check (length(sName) <= 50),
  sCompCode text default '' check (length(sCompCode) <= 100),
  sDartNo text default '' check (length(sDartNo) <= 50));
create table AwardList (
  RecNo integer primary key autoincrement,
  sNo text default '' check (length(sNo) <= 50),
  sName text default '' check (length(sName) <= 50),
  sTime integer default 0 check (sTime between -2147483648 and 2147483647),
  sCompcode text default '' check (length(sCompcode) <= 100));
create index AwardPerson on Award (sNo, sCompCode);
create index AwardListPerson on AwardList (sNo, sCompcode);
create index AwardListItem on AwardList (sTime);
)"));
}

bool ConnectDatabase(Connection& connection) {
    try {
        connection.close();
        connection.setConnectionString(drawdb::connectionString(ProgramDir::path()));
        connection.open();
        return true;
    } catch (const Error& e) {
        MessageBox::show(QStringLiteral("错误信息"), e.text(), MessageBox::Icon::Warning);
        return false;
    }
}

} // namespace tombolix
