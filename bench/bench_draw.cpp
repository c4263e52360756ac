// Figures for the draw on large events: what a rolling step and a spin cost
// beyond their pauses, what recording a winner costs on a durable file, and
// how long the screen's refresh takes to reopen the views and list the pool.
// Every event has 10,000 black-listed people and 10,000 earlier winners.
//   bench_draw [google benchmark flags]
#include "engine/DrawEngine.h"
#include "platform/Database.h"
#include "platform/ProgramDir.h"
#include "platform/Seams.h"
#include "store/DrawDatabase.h"
#include "store/Settings.h"
#include "store/Statements.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <memory>
#include <sys/resource.h>

using namespace tombolix;

namespace {

constexpr int kBlackListed = 10000;
constexpr int kEarlierWinners = 10000;

// Pauses are what the draw waits for on purpose; only the work around them
// is measured.
class NoPause : public EventPump {
public:
    void processEvents() override {}
    void sleep(int) override {}
};

class Silent : public MediaPlayer {
public:
    void setUrl(const QString&) override {}
    void close() override {}
    void hide() override {}
};

class OffScreen : public DrawScreen {
public:
    void setRollingNumber(const QString& text) override { number = text; }
    void setRollingName(const QString& text) override { name = text; }
    void setStatusLine(const QString& text) override { status = text; }
    void setDrawCommandsEnabled(bool) override {}
    void clearWinnerPanel() override {}
    void addWinnerLabel(const QString&, const QString&, int, int, const QString&) override {}
    void showNow() override {}
    QString number, name, status;
};

QString employeeNumber(int i) {
    return QString::number(1000000 + i);
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long peakRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// An event on a real, durable database file: employees 0..9,999 are
// black-listed, 10,000..19,999 have won the current item already.
struct Event {
    explicit Event(int employees)
        : dir(QDir::currentPath() + QStringLiteral("/bench-draw-XXXXXX")),
          engine(connection, settings, screen, events, random, sounds), employees_(employees) {
        ProgramDir::setOverride(dir.path() + QLatin1Char('/'));
        settings = defaultSettings();
        connection.openFile(dir.filePath(drawdb::kFileName), drawdb::kPassword, true);
        drawdb::createSchema(connection);
        const auto start = std::chrono::steady_clock::now();
        Transaction transaction(connection);
        for (int i = 0; i < employees; ++i)
            connection.execute(
                sql::insertEmployee(employeeNumber(i), QStringLiteral("员工%1").arg(i),
                                    QStringLiteral("华东工厂"), QStringLiteral("生产部")));
        connection.execute(QStringLiteral("insert into AwardItem (iSeq, ItemName, Awards, "
                                          "SumNumber, iNumber, IsExec, ExcNum) values "
                                          "(1, '一等奖', '电脑', ?, 1, 0, ?)"),
                           {employees, kEarlierWinners});
        item = int(connection.lastInsertId());
        for (int i = 0; i < kBlackListed; ++i)
            connection.execute(QStringLiteral("insert into AwardBlank (sNo, sName, sCompCode) "
                                              "values (?, ?, '华东工厂')"),
                               {employeeNumber(i), QStringLiteral("员工%1").arg(i)});
        for (int i = kBlackListed; i < kBlackListed + kEarlierWinners; ++i)
            connection.execute(QStringLiteral("insert into AwardList (sNo, sName, sTime, "
                                              "sCompcode) values (?, ?, ?, '华东工厂')"),
                               {employeeNumber(i), QStringLiteral("员工%1").arg(i), item});
        transaction.commit();
        std::printf("event of %d employees built in one transaction: %.2f s\n", employees,
                    secondsSince(start));
    }
    ~Event() {
        connection.close();
        ProgramDir::setOverride(QString());
    }

    // What the screen's refresh asks of the engine.
    void load() {
        engine.reopenViews();
        engine.takeCurrentItem();
        engine.rebuildPool();
    }

    // The next person who has not won yet, for recording one more winner.
    QString nextNewWinner() { return employeeNumber(nextWinner_++ % employees_); }

    QTemporaryDir dir;
    Connection connection;
    Settings settings;
    OffScreen screen;
    NoPause events;
    SystemRandomSource random;
    Silent sounds;
    DrawEngine engine;
    int item = 0;

private:
    int employees_;
    int nextWinner_ = kBlackListed + kEarlierWinners;
};

void registerFor(Event& event, int employees) {
    const std::string size = std::to_string(employees);
    benchmark::RegisterBenchmark(("rolling_step_beyond_50ms/" + size).c_str(),
                                 [&event](benchmark::State& state) {
                                     for (auto _ : state)
                                         benchmark::DoNotOptimize(event.engine.RollingStep());
                                 })
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("spin_beyond_10ms/" + size).c_str(),
                                 [&event](benchmark::State& state) {
                                     for (auto _ : state)
                                         benchmark::DoNotOptimize(event.engine.Spin());
                                 })
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(
        ("record_winner_durable/" + size).c_str(),
        [&event](benchmark::State& state) {
            const QString itemText = QString::number(event.item);
            for (auto _ : state) {
                const QString number = event.nextNewWinner();
                benchmark::DoNotOptimize(event.engine.RecordWinner(
                    number, QStringLiteral("员工"), itemText, QStringLiteral("华东工厂")));
            }
        })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(200);
    benchmark::RegisterBenchmark(("reopen_views_and_rebuild_pool/" + size).c_str(),
                                 [&event](benchmark::State& state) {
                                     for (auto _ : state)
                                         event.load();
                                 })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // One event at a time, so the larger one's memory is its own.
    for (int employees : {100000, 1000000}) {
        auto event = std::make_unique<Event>(employees);
        const auto start = std::chrono::steady_clock::now();
        event->load();
        std::printf("first load of %d employees (views, pool list, RecNo index): %.0f ms\n",
                    employees, secondsSince(start) * 1e3);
        std::printf("peak RSS after loading the pool of %d: %.1f MiB\n", employees,
                    double(peakRssKiB()) / 1024.0);
        std::fflush(stdout);
        registerFor(*event, employees);
        // A reporter of its own for each run: the library's default one
        // cannot be used twice.
        benchmark::ConsoleReporter reporter(benchmark::ConsoleReporter::OO_Tabular);
        benchmark::RunSpecifiedBenchmarks(&reporter);
        benchmark::ClearRegisteredBenchmarks();
    }
    benchmark::Shutdown();
    return 0;
}
