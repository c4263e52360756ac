#include "support/DrawRig.h"

namespace tombolix::test {

void DrawRig::refresh() {
    engine.reopenViews();
    engine.takeCurrentItem();
    engine.rebuildPool();
}

void DrawRig::drawOnce(int steps) {
    seams.events.afterSleeps(50, seams.events.sleeps(50) + steps,
                             [this] { engine.ActStartExecute(); });
    engine.ActStartExecute();
}

void DrawRig::addPeople(const QStringList& numbers, const QString& company) {
    for (const QString& n : numbers)
        db.addEmployee(n, QStringLiteral("name ") + n, company, QStringLiteral("dept"));
}

QStringList DrawRig::messages() const {
    QStringList texts;
    for (const auto& shown : boxes->shown())
        texts << shown.text;
    return texts;
}

int DrawRig::itemField(int item, const char* field) {
    return scalar(db, QStringLiteral("select %1 from AwardItem where RecNo = %2")
                          .arg(QLatin1String(field))
                          .arg(item));
}

} // namespace tombolix::test
