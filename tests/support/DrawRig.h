#pragma once

#include "engine/DrawEngine.h"
#include "store/Settings.h"
#include "support/DrawRows.h"
#include "support/RecordingMessageBox.h"
#include "support/ScriptedSeams.h"
#include "support/TestDatabase.h"

#include <memory>

namespace tombolix::test {

// A draw engine on a fresh database with every seam scripted: no pause is
// real, so a whole draw takes milliseconds. One per case of a table.
struct DrawRig {
    TestDatabase db;
    Settings settings = defaultSettings(); // iTime 5, white list on, company and department shown
    DrawSeams seams;
    std::shared_ptr<RecordingMessageBox> boxes = RecordingMessageBox::install();
    DrawEngine engine{db.connection(), settings,     seams.screen,
                      seams.events,    seams.random, seams.sounds};

    // What the screen's refresh does with the engine.
    void refresh();
    // One start–stop cycle; the stop is a start command nested after `steps`
    // more rolling steps.
    void drawOnce(int steps = 2);
    // Employees with the name "name <number>" and the department "dept".
    void addPeople(const QStringList& numbers, const QString& company = QStringLiteral("A"));
    // The texts of the message boxes shown so far.
    QStringList messages() const;
    // ExcNum or IsExec of an item as stored.
    int itemField(int item, const char* field);
};

} // namespace tombolix::test
