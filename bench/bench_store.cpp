// Figures for the Draw database: the import's one-statement-per-row inserts
// beside the same rows in one transaction, opening the pool view, and
// locating an employee in it by RecNo.
//   bench_store [EMPLOYEES]   (default 100000)
#include "platform/Database.h"
#include "store/DrawDatabase.h"
#include "store/Statements.h"

#include <QString>
#include <QDir>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <random>

using namespace tombolix;
using Clock = std::chrono::steady_clock;

namespace {
double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void insertAll(Connection& c, int count) {
    for (int i = 0; i < count; ++i)
        c.execute(sql::insertEmployee(QString::number(100000 + i), QStringLiteral("员工%1").arg(i),
                                      QStringLiteral("华东工厂"), QStringLiteral("生产部")));
}

struct Db {
    explicit Db(const QString& path) {
        connection.openFile(path, drawdb::kPassword, true);
        drawdb::createSchema(connection);
    }
    Connection connection;
};
} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-XXXXXX"));

    Db single(dir.filePath(QStringLiteral("single.dll")));
    auto start = Clock::now();
    insertAll(single.connection, count);
    const double singleSeconds = secondsSince(start);

    Db batched(dir.filePath(QStringLiteral("batched.dll")));
    start = Clock::now();
    {
        Transaction t(batched.connection);
        insertAll(batched.connection, count);
        t.commit();
    }
    const double batchedSeconds = secondsSince(start);

    std::printf("insert %d employees, one durable statement each: %.2f s (%.1f us/row)\n", count,
                singleSeconds, singleSeconds * 1e6 / count);
    std::printf("insert %d employees in one transaction:          %.2f s (%.1f us/row)\n", count,
                batchedSeconds, batchedSeconds * 1e6 / count);
    std::printf("ratio one-at-a-time / one transaction:          %.1f\n",
                singleSeconds / batchedSeconds);

    DataSet pool(single.connection, sql::selectEmployees());
    start = Clock::now();
    pool.open();
    std::printf("open the pool view over %d employees:          %.1f ms\n", pool.recordCount(),
                secondsSince(start) * 1e3);

    std::mt19937 random(7);
    start = Clock::now();
    pool.locate(QStringLiteral("RecNo"), {QString::number(1 + count / 2)});
    std::printf("first locate by RecNo (builds the index):       %.1f ms\n",
                secondsSince(start) * 1e3);
    const int lookups = 100000;
    int found = 0;
    start = Clock::now();
    for (int i = 0; i < lookups; ++i)
        found += pool.locate(QStringLiteral("RecNo"),
                             {QString::number(1 + int(random() % unsigned(count)))});
    std::printf("locate by RecNo, each after that:                %.2f us (%d of %d found)\n",
                secondsSince(start) * 1e6 / lookups, found, lookups);
    return 0;
}
