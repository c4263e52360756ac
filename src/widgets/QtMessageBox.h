#pragma once

#include "platform/MessageBox.h"

namespace tombolix {

// The program's message boxes: QMessageBox over the active window.
class QtMessageBoxPresenter : public MessageBox::Presenter {
public:
    MessageBox::Answer present(const QString& caption, const QString& text, MessageBox::Icon icon,
                               MessageBox::Buttons buttons) override;
};

} // namespace tombolix
