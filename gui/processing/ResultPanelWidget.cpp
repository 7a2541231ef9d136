#include "gui/processing/ResultPanelWidget.h"

#include <QEvent>
#include <QGridLayout>
#include <QScrollBar>

#include "gui/shell/QtPrompts.h"
#include "gui/shell/Theme.h"
#include "settings/Settings.h"

namespace qv {

namespace {
ClickLabel* MakeLabel(QWidget* parent, const char* name, const char* text = "")
{
    auto* label = new ClickLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}
}  // namespace

ResultPanelWidget::ResultPanelWidget(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("MainPanel"));
    setAutoFillBackground(true);
    lFileName = MakeLabel(this, "LFileName", "ファイル名");
    fileNamePanel = new QWidget(this);
    fileNamePanel->setObjectName(QStringLiteral("FileNamePanel"));
    xFileName = MakeLabel(fileNamePanel, "XFileName");
    xFileName->setTextInteractionFlags(Qt::NoTextInteraction);
    scrollBar1 = new QScrollBar(Qt::Horizontal, this);
    scrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
    scrollBar1->setSingleStep(8);
    scrollBar1->setPageStep(32);
    scrollBar1->hide();
    lFileSize = MakeLabel(this, "LFileSize", "ファイルサイズ");
    xFileSize = MakeLabel(this, "XFileSize");
    lCrc32 = MakeLabel(this, "LCRC_32", "CRC32");
    xCrc32 = MakeLabel(this, "XCRC_32");
    lMd5 = MakeLabel(this, "LMD5", "MD5");
    xMd5 = MakeLabel(this, "XMD5");
    fileIcon = MakeLabel(this, "FileIcon");
    fileIcon->setFixedSize(32, 32);
    duplicateMark = new QLabel(QStringLiteral("重複ファイル検出"), this);
    duplicateMark->setObjectName(QStringLiteral("DuplicateMark"));
    duplicateMark->hide();
    for (QLabel* l : {lCrc32, lMd5}) l->setCursor(Qt::PointingHandCursor);
    // Screen readers and test scripts read each value as its label's name (its text) and tell
    // the values apart by these descriptions.
    xFileName->setAccessibleDescription(QStringLiteral("ファイル名"));
    xFileSize->setAccessibleDescription(QStringLiteral("ファイルサイズ"));
    xCrc32->setAccessibleDescription(QStringLiteral("CRC32"));
    xMd5->setAccessibleDescription(QStringLiteral("MD5"));
    duplicateMark->setAccessibleDescription(QStringLiteral("重複ファイル"));

    // Columns: the icon's slot, captions, a gap, values. Without the icon its slot closes and
    // the size and code rows move left by the slot's whole width.
    grid_ = new QGridLayout(this);
    grid_->setContentsMargins(8, 6, 8, 6);
    grid_->setHorizontalSpacing(0);
    grid_->setVerticalSpacing(4);
    grid_->addWidget(lFileName, 0, 0, 1, 2);
    grid_->addWidget(fileNamePanel, 0, 3);
    grid_->addWidget(scrollBar1, 1, 3);
    grid_->addWidget(fileIcon, 2, 0, 2, 1, Qt::AlignTop | Qt::AlignLeft);
    grid_->addWidget(lFileSize, 2, 1);
    grid_->addWidget(xFileSize, 2, 3);
    grid_->addWidget(lCrc32, 3, 1);
    grid_->addWidget(xCrc32, 3, 3);
    grid_->addWidget(lMd5, 4, 0, 1, 2);
    grid_->addWidget(xMd5, 4, 3);
    grid_->addWidget(duplicateMark, 5, 0, 1, 4);
    grid_->setColumnMinimumWidth(0, kIconSlotWidth);
    grid_->setColumnMinimumWidth(2, 8);
    grid_->setColumnStretch(3, 1);
    grid_->setRowStretch(6, 1);
    fileNamePanel->installEventFilter(this);
    connect(scrollBar1, &QScrollBar::valueChanged, this, [this](int v) { xFileName->move(-v, 0); });
    for (QLabel* l : {xCrc32, xMd5}) {
        QFont f = l->font();
        f.setStyleHint(QFont::Monospace);
        f.setFamilies({QStringLiteral("monospace")});
        l->setFont(f);
    }
    // Room for a whole MD5 even while the panel is empty, so the window is laid out wide enough.
    xMd5->setMinimumWidth(QFontMetrics(xMd5->font()).horizontalAdvance(QString(32, QLatin1Char('D'))) + 2);
}

void ResultPanelWidget::ApplySettings(const Settings& s)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, ToQColor(s.WallColor));
    setPalette(p);
    for (QLabel* l : {static_cast<QLabel*>(lFileName), static_cast<QLabel*>(lFileSize),
                      static_cast<QLabel*>(lCrc32), static_cast<QLabel*>(lMd5)})
        SetTextColour(l, s.ItemColor);
    for (QLabel* l : {static_cast<QLabel*>(xFileName), static_cast<QLabel*>(xFileSize),
                      static_cast<QLabel*>(xCrc32), static_cast<QLabel*>(xMd5)})
        SetTextColour(l, s.NormalColor);
    SetTextColour(duplicateMark, s.PickupColor);
    QFont f = xFileName->font();
    f.setPointSize(s.FileNameFontSize > 0 ? s.FileNameFontSize : 12);
    xFileName->setFont(f);
    fileNamePanel->setMinimumHeight(QFontMetrics(f).height() + 2);
    fileIcon->setVisible(s.ShowMainIcon);
    grid_->setColumnMinimumWidth(0, s.ShowMainIcon ? kIconSlotWidth : 0);
    FitNameScroller();
}

void ResultPanelWidget::SetFileName(const QString& name)
{
    xFileName->setText(name);
    xFileName->adjustSize();
}

void ResultPanelWidget::Clear()
{
    for (QLabel* l : {static_cast<QLabel*>(xFileName), static_cast<QLabel*>(xFileSize),
                      static_cast<QLabel*>(xCrc32), static_cast<QLabel*>(xMd5)})
        l->clear();
    fileIcon->clear();
    xFileName->adjustSize();
}

void ResultPanelWidget::FitNameScroller()
{
    xFileName->adjustSize();
    const int labelWidth = xFileName->width();
    const int panelWidth = fileNamePanel->width();
    if (labelWidth <= panelWidth) {
        scrollBar1->setValue(0);
        xFileName->move(0, 0);
        scrollBar1->hide();
        xFileName->setToolTip(QString());
    } else {
        scrollBar1->setRange(0, labelWidth - panelWidth);
        xFileName->move(-scrollBar1->value(), 0);
        scrollBar1->show();
        xFileName->setToolTip(xFileName->text());
    }
}

bool ResultPanelWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == fileNamePanel && event->type() == QEvent::Resize && isVisible()) FitNameScroller();
    return QFrame::eventFilter(watched, event);
}

}  // namespace qv
