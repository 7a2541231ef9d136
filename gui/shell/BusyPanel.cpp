#include "gui/shell/BusyPanel.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "gui/shell/QtPrompts.h"
#include "gui/shell/Shell.h"

namespace qv {

namespace {
int Clamped(int64_t value) { return static_cast<int>(std::clamp<int64_t>(value, 0, INT32_MAX)); }
}  // namespace

BusyPanel::BusyPanel(Pages& pages, QWidget* parent) : QFrame(parent), pages_(pages)
{
    setObjectName(QStringLiteral("BuzyPanel"));
    buzyComment_ = new QLabel(this);
    buzyComment_->setObjectName(QStringLiteral("BuzyComment"));
    buzyComment_->setAlignment(Qt::AlignCenter);
    lbTotalProgress_ = new QLabel(QStringLiteral("全体"), this);
    lbTotalProgress_->setObjectName(QStringLiteral("LbTotalProgress"));
    pgTotal_ = new QProgressBar(this);
    pgTotal_->setObjectName(QStringLiteral("PgTotal"));
    lbFileProgress_ = new QLabel(this);
    lbFileProgress_->setObjectName(QStringLiteral("LbFileProgress"));
    pgFile_ = new QProgressBar(this);
    pgFile_->setObjectName(QStringLiteral("PgFile"));
    pgFile_->setTextVisible(false);
    canButton_ = new QPushButton(QStringLiteral("中止 [ESC]"), this);
    canButton_->setObjectName(QStringLiteral("CanButton"));
    canButton_->setShortcut(QKeySequence(Qt::Key_Escape));
    canButton_->setAutoDefault(false);
    ppCancel_ = new QMenu(this);
    ppCancel_->setObjectName(QStringLiteral("PpCancel"));
    QAction* c2 = ppCancel_->addAction(QStringLiteral("中止(&C)"));
    c2->setObjectName(QStringLiteral("C2"));

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(12, 8, 12, 8);
    box->addStretch(1);
    for (QWidget* w : {static_cast<QWidget*>(buzyComment_), static_cast<QWidget*>(lbTotalProgress_),
                       static_cast<QWidget*>(pgTotal_), static_cast<QWidget*>(lbFileProgress_),
                       static_cast<QWidget*>(pgFile_)})
        box->addWidget(w);
    box->addWidget(canButton_, 0, Qt::AlignHCenter);
    box->addStretch(1);

    connect(canButton_, &QPushButton::clicked, this, &BusyPanel::cancelRequested);
    connect(c2, &QAction::triggered, this, &BusyPanel::cancelRequested);
}

void BusyPanel::Show()
{
    SetTotal("", true);
    totalBarShown_ = false;
    changes_.Changed(kTotalBar);
    SetCancellable(true);
    pages_.SetBusy(true);
}

void BusyPanel::Hide() { pages_.SetBusy(false); }
bool BusyPanel::Shown() const { return pages_.Busy(); }

void BusyPanel::SetCancellable(bool cancellable)
{
    cancellable_ = cancellable;
    canButton_->setVisible(cancellable);
}

void BusyPanel::SetComment(const std::string& text)
{
    comment_ = text;
    changes_.Changed(kComment);
}

void BusyPanel::SetTotal(const std::string& text, bool visible)
{
    total_ = text;
    totalShown_ = visible;
    changes_.Changed(kTotal);
}

void BusyPanel::SetTotalBar(int maximum, int position, bool visible)
{
    totalMax_ = maximum;
    totalPos_ = position;
    totalBarShown_ = visible;
    changes_.Changed(kTotalBar);
}

void BusyPanel::SetFileLabel(const std::string& text)
{
    fileLabel_ = text;
    changes_.Changed(kFileLabel);
}

void BusyPanel::SetFileRange(int64_t maximum)
{
    fileMax_ = Clamped(maximum);
    filePos_ = 0;
    changes_.Changed(kFileBar);
}

void BusyPanel::SetFilePosition(int64_t position)
{
    filePos_ = Clamped(position);
    changes_.Changed(kFileBar);
}

void BusyPanel::ShowChanges(unsigned changed)
{
    if (changed & kComment) buzyComment_->setText(ToQ(comment_));
    if (changed & kTotal) {
        lbTotalProgress_->setText(ToQ(total_));
        lbTotalProgress_->setVisible(totalShown_);
    }
    if (changed & kTotalBar) {
        pgTotal_->setRange(0, totalMax_);
        pgTotal_->setValue(totalPos_);
        pgTotal_->setVisible(totalBarShown_);
    }
    if (changed & kFileLabel) lbFileProgress_->setText(ToQ(fileLabel_));
    if (changed & kFileBar) {
        pgFile_->setRange(0, fileMax_);
        pgFile_->setValue(filePos_);
    }
}

void BusyPanel::contextMenuEvent(QContextMenuEvent* event)
{
    if (cancellable_) ppCancel_->popup(event->globalPos());
}

}  // namespace qv
