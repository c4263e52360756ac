#pragma once

#include <QString>
#include <memory>

namespace tombolix {

// Every message box and question of the program goes through this facade, so
// a test can record what was asked and set the next answer.
class MessageBox {
public:
    enum class Icon { Information, Warning, Question, Critical };
    enum class Buttons { Ok, YesNo, OkCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    // What actually shows the box: the program's is a QMessageBox, a test's
    // records the call and returns a scripted answer.
    class Presenter {
    public:
        virtual ~Presenter() = default;
        virtual Answer present(const QString& caption, const QString& text, Icon icon,
                               Buttons buttons) = 0;
    };

    static Answer show(const QString& caption, const QString& text, Icon icon,
                       Buttons buttons = Buttons::Ok);
    // Returns the presenter it replaces.
    static std::shared_ptr<Presenter> setPresenter(std::shared_ptr<Presenter> presenter);
};

} // namespace tombolix
