#include "widgets/ScreenWidgets.h"

#include <QMouseEvent>
#include <QPainter>

namespace tombolix {

void ClickLabel::setTextSized(const QString& text) {
    setText(text);
    adjustSize();
}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Q_EMIT clicked();
    QLabel::mousePressEvent(event);
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    // Taken here, so the panel behind a winner label does not see it twice.
    event->accept();
    Q_EMIT doubleClicked();
}

void ClickFrame::mouseDoubleClickEvent(QMouseEvent* event) {
    Q_EMIT doubleClicked();
    QFrame::mouseDoubleClickEvent(event);
}

void StretchedBackground::setPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void StretchedBackground::paintEvent(QPaintEvent*) {
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), picture_);
}

} // namespace tombolix
