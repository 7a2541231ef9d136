#pragma once
#include <QFrame>

#include <cstdint>
#include <string>

#include "gui/shell/Deferral.h"

class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;

namespace qv {

class Pages;

// The busy display BuzyPanel: comment, batch and file progress, and the cancel button. While
// it is up the main menu is gone and the views are hidden behind it. Like the frame texts,
// its labels and bars can be deferred to the refresh ticks of a batch.
class BusyPanel : public QFrame {
    Q_OBJECT
public:
    BusyPanel(Pages& pages, QWidget* parent = nullptr);

    // Up for work: the batch bar hidden and its caption emptied, cancelling possible. The
    // comment and the file caption stay as they were set.
    void Show();
    void Hide();
    bool Shown() const;
    // During shut-down nothing can be cancelled: the button and the popup are gone.
    void SetCancellable(bool cancellable);

    void SetComment(const std::string& text);                   // BuzyComment
    void SetTotal(const std::string& text, bool visible);       // LbTotalProgress
    void SetTotalBar(int maximum, int position, bool visible);  // PgTotal
    void SetFileLabel(const std::string& text);                 // LbFileProgress
    void SetFileRange(int64_t maximum);                         // PgFile: 0..maximum, at 0
    void SetFilePosition(int64_t position);

    Deferral& Changes() { return changes_; }

Q_SIGNALS:
    void cancelRequested();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    enum : unsigned { kComment = 1, kTotal = 2, kTotalBar = 4, kFileLabel = 8, kFileBar = 16 };
    void ShowChanges(unsigned changed);

    Pages& pages_;
    QLabel* buzyComment_;
    QLabel* lbTotalProgress_;
    QProgressBar* pgTotal_;
    QLabel* lbFileProgress_;
    QProgressBar* pgFile_;
    QPushButton* canButton_;
    QMenu* ppCancel_;
    bool cancellable_ = true;
    // What the labels and bars are to show.
    std::string comment_, total_, fileLabel_;
    bool totalShown_ = true, totalBarShown_ = false;
    int totalMax_ = 0, totalPos_ = 0, fileMax_ = 0, filePos_ = 0;
    Deferral changes_{[this](unsigned changed) { ShowChanges(changed); }};
};

}  // namespace qv
