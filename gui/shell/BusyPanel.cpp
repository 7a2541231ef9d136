#include "gui/shell/BusyPanel.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace qv {

BusyPanel::BusyPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("BuzyPanel"));
    buzyComment = new QLabel(this);
    buzyComment->setObjectName(QStringLiteral("BuzyComment"));
    buzyComment->setAlignment(Qt::AlignCenter);
    lbTotalProgress = new QLabel(QStringLiteral("全体"), this);
    lbTotalProgress->setObjectName(QStringLiteral("LbTotalProgress"));
    pgTotal = new QProgressBar(this);
    pgTotal->setObjectName(QStringLiteral("PgTotal"));
    lbFileProgress = new QLabel(this);
    lbFileProgress->setObjectName(QStringLiteral("LbFileProgress"));
    pgFile = new QProgressBar(this);
    pgFile->setObjectName(QStringLiteral("PgFile"));
    pgFile->setTextVisible(false);
    canButton = new QPushButton(QStringLiteral("中止 [ESC]"), this);
    canButton->setObjectName(QStringLiteral("CanButton"));
    canButton->setShortcut(QKeySequence(Qt::Key_Escape));
    canButton->setAutoDefault(false);
    ppCancel = new QMenu(this);
    ppCancel->setObjectName(QStringLiteral("PpCancel"));
    c2 = ppCancel->addAction(QStringLiteral("中止(&C)"));
    c2->setObjectName(QStringLiteral("C2"));

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(12, 8, 12, 8);
    box->addStretch(1);
    box->addWidget(buzyComment);
    box->addWidget(lbTotalProgress);
    box->addWidget(pgTotal);
    box->addWidget(lbFileProgress);
    box->addWidget(pgFile);
    box->addWidget(canButton, 0, Qt::AlignHCenter);
    box->addStretch(1);

    connect(canButton, &QPushButton::clicked, this, &BusyPanel::cancelRequested);
    connect(c2, &QAction::triggered, this, &BusyPanel::cancelRequested);
}

void BusyPanel::contextMenuEvent(QContextMenuEvent* event)
{
    if (popupEnabled) ppCancel->popup(event->globalPos());
}

}  // namespace qv
