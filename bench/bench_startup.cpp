// Time from creating the draw screen to its idle state (connection, settings,
// picture, the five views, the pool list and the layout), for the demo event
// and for a large pool.
//   bench_startup [EMPLOYEES ...]   (default 600 100000)
#include "platform/Database.h"
#include "platform/ProgramDir.h"
#include "screen/StartFrm.h"
#include "store/DrawDatabase.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>

using namespace tombolix;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = {600, 100000};
    const QString bin = QString::fromLocal8Bit(qgetenv("TOMBOLIX_BIN_DIR"));
    for (int employees : sizes) {
        QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/startup-XXXXXX"));
        {
            Connection c;
            c.openFile(dir.filePath(drawdb::kFileName), drawdb::kPassword, true);
            drawdb::createSchema(c);
            drawdb::fillDemoEvent(c, employees);
        }
        QFile::copy(bin.isEmpty() ? QStringLiteral("build/bin/backgroup.jpg")
                                  : bin + QStringLiteral("/backgroup.jpg"),
                    dir.filePath(QStringLiteral("backgroup.jpg")));
        ProgramDir::setOverride(dir.path());
        const auto start = std::chrono::steady_clock::now();
        TStartFrm form;
        form.showOnScreen();
        QApplication::processEvents();
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        std::printf("%7d employees: %.0f ms from creating the draw screen to its idle state "
                    "(pool list %zu)\n",
                    employees, ms, form.engine().PoolKeys.size());
    }
    return 0;
}
