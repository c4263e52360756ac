#include "platform/Seams.h"

#include "platform/Error.h"

#include <QCoreApplication>
#include <QThread>
#include <cerrno>
#include <cstdint>
#include <sys/random.h>

namespace tombolix {

void QtEventPump::processEvents() { QCoreApplication::processEvents(); }

void QtEventPump::sleep(int milliseconds) { QThread::msleep(static_cast<unsigned long>(milliseconds)); }

namespace {
std::uint32_t entropy32() {
    std::uint32_t value = 0;
    auto* bytes = reinterpret_cast<unsigned char*>(&value);
    size_t got = 0;
    while (got < sizeof value) {
        const ssize_t n = getrandom(bytes + got, sizeof value - got, 0);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw Error(QStringLiteral("The system's random source failed (errno %1)").arg(errno));
        }
        got += size_t(n);
    }
    return value;
}
} // namespace

int SystemRandomSource::index(int count) {
    if (count <= 0)
        throw Error(QStringLiteral("No index to draw from an empty list"));
    const auto n = static_cast<std::uint32_t>(count);
    // Values at or above the largest multiple of n would favour the low
    // indexes; draw again instead.
    const std::uint32_t limit = UINT32_MAX - (UINT32_MAX % n);
    std::uint32_t value;
    do {
        value = entropy32();
    } while (value >= limit);
    return static_cast<int>(value % n);
}

} // namespace tombolix
