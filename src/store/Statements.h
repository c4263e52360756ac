#pragma once

#include <QString>

// Every statement the program sends to the Draw database, one helper each.
// Texts become SQL literals through literal() alone; numbers are written as
// decimal digits by the helpers' integer arguments.
namespace tombolix::sql {

// The text between single quotes, a single quote inside it doubled.
QString literal(const QString& text);

// Statements of the draw screen's data sets.
QString selectEmployees();       // pool, in RecNo order
QString selectWinners();         // winners view
QString selectBlackList();       // black-list view
QString selectWhiteList();       // white-list view before a draw narrows it
QString selectUnfinishedItems(); // the prize items view at start-up

// Statements of the dialogs' data sets.
QString selectAllItems();     // prize table, new prize items
QString selectAllWhiteRows(); // the reset marks every row unused
QString selectWhiteListForEditing();
QString selectBlackListForEditing();
QString selectEmployeesByCode();  // lookup by number, employee picker
QString selectItemsBySeq();       // prize item choice and name lookup
QString selectItemsWithPlaces();  // current-item picker
QString selectWinnersWithItems(); // winners list

// Statements built while the program runs.
QString selectCurrentItem(int itemRecNo);
QString selectFirstOpenItem();
QString selectOpenWhiteRowsOfItem(int itemRecNo);
QString selectWhiteRowsOfPerson(const QString& number, const QString& company);
QString deleteWinner(const QString& number, const QString& company);
QString countItemWinners(int itemRecNo);
QString setItemDrawnCount(int count, int itemRecNo);
QString deleteAllWinners();
QString deleteAllEmployees();
QString insertEmployee(const QString& number, const QString& name, const QString& company,
                       const QString& department);

} // namespace tombolix::sql
