#include "widgets/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace tombolix {

MessageBox::Answer QtMessageBoxPresenter::present(const QString& caption, const QString& text,
                                                  MessageBox::Icon icon,
                                                  MessageBox::Buttons buttons) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case MessageBox::Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageBox::Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageBox::Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MessageBox::Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    switch (buttons) {
    case MessageBox::Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageBox::Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MessageBox::Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MessageBox::Answer::Ok;
    case QMessageBox::Yes:
        return MessageBox::Answer::Yes;
    case QMessageBox::No:
        return MessageBox::Answer::No;
    default:
        return MessageBox::Answer::Cancel;
    }
}

} // namespace tombolix
