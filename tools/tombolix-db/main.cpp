// tombolix-db: makes event databases for Tombolix.
//   tombolix-db create PATH              an empty keyed database with the five tables
//   tombolix-db demo PATH [EMPLOYEES]    the same, filled with a fictional event
#include "platform/Database.h"
#include "store/DrawDatabase.h"

#include <QFileInfo>
#include <cstdio>
#include <cstring>

using namespace tombolix;

namespace {
int usage() {
    std::fprintf(stderr, "usage: tombolix-db create PATH\n"
                         "       tombolix-db demo PATH [EMPLOYEES]\n");
    return 2;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return usage();
    const bool demo = std::strcmp(argv[1], "demo") == 0;
    if (!demo && std::strcmp(argv[1], "create") != 0)
        return usage();
    const QString path = QString::fromLocal8Bit(argv[2]);
    int employees = 600;
    if (argc > 3) {
        bool ok = false;
        employees = QString::fromLocal8Bit(argv[3]).toInt(&ok);
        if (!demo || !ok || employees < 0)
            return usage();
    }
    if (QFileInfo::exists(path)) {
        std::fprintf(stderr, "tombolix-db: %s exists already; it is left as it is\n", argv[2]);
        return 1;
    }
    try {
        Connection connection;
        connection.openFile(path, drawdb::kPassword, true);
        drawdb::createSchema(connection);
        if (demo)
            drawdb::fillDemoEvent(connection, employees);
        connection.close();
    } catch (const Error& e) {
        std::fprintf(stderr, "tombolix-db: %s\n", qPrintable(e.text()));
        QFile::remove(path);
        return 1;
    }
    return 0;
}
