#pragma once

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QWidget>

namespace tombolix {

// A label that reports clicks and double-clicks, and can size itself to its
// text keeping its left edge.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    void setTextSized(const QString& text);

Q_SIGNALS:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// A panel that reports double-clicks on itself.
class ClickFrame : public QFrame {
    Q_OBJECT
public:
    using QFrame::QFrame;

Q_SIGNALS:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// Paints a picture stretched to the whole widget.
class StretchedBackground : public QWidget {
public:
    using QWidget::QWidget;
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

} // namespace tombolix
