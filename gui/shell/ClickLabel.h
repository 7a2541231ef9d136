#pragma once
#include <QLabel>
#include <QMouseEvent>

namespace qv {

// A label that reports clicks and double-clicks (the panel's copy gestures).
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();
    void doubleClicked();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) Q_EMIT clicked();
        QLabel::mouseReleaseEvent(e);
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton) Q_EMIT doubleClicked();
        QLabel::mouseDoubleClickEvent(e);
    }
};

}  // namespace qv
