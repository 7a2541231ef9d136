#pragma once
#include <QFrame>

class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QAction;

namespace qv {

// The busy display BuzyPanel: comment, batch and file progress, and the cancel button.
class BusyPanel : public QFrame {
    Q_OBJECT
public:
    explicit BusyPanel(QWidget* parent = nullptr);

    QLabel* buzyComment;
    QLabel* lbTotalProgress;
    QProgressBar* pgTotal;
    QLabel* lbFileProgress;
    QProgressBar* pgFile;
    QPushButton* canButton;
    QMenu* ppCancel;
    QAction* c2;
    // false during shut-down: the popup is detached from the panel.
    bool popupEnabled = true;

Q_SIGNALS:
    void cancelRequested();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
};

}  // namespace qv
