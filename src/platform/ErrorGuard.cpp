#include "platform/ErrorGuard.h"

#include "platform/Error.h"
#include "platform/MessageBox.h"

#include <exception>

namespace tombolix {

namespace {
const QString kCaption = QStringLiteral("员工抽奖系统");
}

bool runGuarded(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const Error& e) {
        MessageBox::show(kCaption, e.text(), MessageBox::Icon::Critical);
    } catch (const std::exception& e) {
        MessageBox::show(kCaption, QString::fromLocal8Bit(e.what()), MessageBox::Icon::Critical);
    }
    return false;
}

} // namespace tombolix
