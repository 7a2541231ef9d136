#include "gui/browser/DupList.h"

#include <QEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTreeWidget>

#include "gui/shell/QtPrompts.h"
#include "gui/shell/Theme.h"
#include "history/Duplicates.h"
#include "settings/Settings.h"

namespace qv {
namespace {

QByteArray Bytes(const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

// Grid lines for a list that has none of its own: a line under and after every cell.
class GridLineDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    bool on = false;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (!on) return;
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->restore();
    }
};

DupListView::DupListView(const Settings& settings, HashHistory& history, QWidget* pageParent)
    : QObject(pageParent), settings_(settings), history_(history), list_(new QTreeWidget(pageParent)),
      grid_(new GridLineDelegate(list_))
{
    list_->setObjectName(QStringLiteral("DupList"));
    list_->setColumnCount(1);
    list_->setHeaderLabels({QStringLiteral("fullpathname")});
    list_->setHeaderHidden(true);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    list_->setItemDelegate(grid_);
    list_->installEventFilter(this);
}

int DupListView::FindDuplicates(int& index)
{
    list_->setUpdatesEnabled(false);
    list_->clear();
    int32_t i = index;
    const std::vector<std::string> rows = qv::FindDuplicates(history_, i);
    index = i;
    const bool icons = settings_.DupListIconView;
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const std::string& row : rows) {
        auto* item = new QTreeWidgetItem(QStringList{ToQ(row)});
        item->setData(0, Qt::UserRole, Bytes(row));
        if (icons) item->setIcon(0, icons_.For(row));
        items.push_back(item);
    }
    list_->addTopLevelItems(items);
    list_->setUpdatesEnabled(true);
    return list_->topLevelItemCount();
}

void DupListView::Clear() { list_->clear(); }

std::vector<std::string> DupListView::Paths() const
{
    std::vector<std::string> paths;
    for (int r = 0; r < list_->topLevelItemCount(); ++r)
        paths.push_back(list_->topLevelItem(r)->data(0, Qt::UserRole).toByteArray().toStdString());
    return paths;
}

Selection DupListView::SelectedRows() const
{
    Selection rows(static_cast<size_t>(list_->topLevelItemCount()));
    for (int r = 0; r < list_->topLevelItemCount(); ++r) rows[static_cast<size_t>(r)] = list_->topLevelItem(r)->isSelected();
    return rows;
}

void DupListView::RemoveRow(int row) { delete list_->takeTopLevelItem(row); }

void DupListView::ApplyLook()
{
    QFont font = list_->font();
    font.setBold(settings_.DupListBoldFont);
    list_->setFont(font);
    grid_->on = settings_.DupListBorderView;
    SetBackground(list_, settings_.DupColor);
    SetTextColour(list_, settings_.DupFontColor);
    // Detached icons leave the rows at once; attached ones come with the next fill.
    if (!settings_.DupListIconView) {
        for (int r = 0; r < list_->topLevelItemCount(); ++r) list_->topLevelItem(r)->setIcon(0, QIcon());
    }
    list_->viewport()->update();
}

void DupListView::FitColumn() { list_->resizeColumnToContents(0); }

bool DupListView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == list_ && event->type() == QEvent::Resize) Q_EMIT resized();
    return QObject::eventFilter(watched, event);
}

}  // namespace qv
