#pragma once

#include <QString>

namespace tombolix {

class Connection;

// The Draw database: config.dll in the program directory, an encrypted
// SQLite file keyed with the event password.
namespace drawdb {

inline const QString kFileName = QStringLiteral("config.dll");
inline const QString kPassword = QStringLiteral("TrueGate742");

// The connection string for the database file in `dir` (with its trailing
// separator). Only its data source and password mean anything to our engine;
// the other pieces are kept as the event files have always carried them.
QString connectionString(const QString& dir);

// Makes the five empty tables in a new database.
void createSchema(Connection& connection);

// Fills a new database with a fictional event: `employees` people across a
// few companies and departments, and five prize items in drawing order.
void fillDemoEvent(Connection& connection, int employees);

} // namespace drawdb

// Opens the connection on config.dll in the program directory. On failure
// shows the engine's text in the "错误信息" box and returns false.
bool ConnectDatabase(Connection& connection);

} // namespace tombolix
