#include "gui/browser/ListFrame.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelection>
#include <QTableView>
#include <QVBoxLayout>

#include "gui/browser/FileIcons.h"
#include "gui/browser/FileTableModel.h"
#include "gui/shell/QtPrompts.h"
#include "gui/shell/Theme.h"
#include "settings/Settings.h"

namespace qv {

// FolderList's items: the core's sorted list, each insertion announced where it lands.
class FolderItemsModel final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : list.Count(); }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= list.Count()) return {};
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return ToQ(list.At(index.row()));
        return {};
    }
    void Add(const std::string& folder)
    {
        const FolderList::Slot slot = list.Locate(folder);
        if (slot.present) return;
        beginInsertRows({}, slot.index, slot.index);
        list.Add(folder);
        endInsertRows();
    }
    void Assign(const std::vector<std::string>& folders)
    {
        beginResetModel();
        list.Assign(folders);
        endResetModel();
    }

    qv::FolderList list;
};

ListFrame::ListFrame(QWidget* parent)
    : QWidget(parent),
      folderList_(new QComboBox(this)),
      fileView_(new QTableView(this)),
      folders_(new FolderItemsModel(this)),
      model_(new FileTableModel(this))
{
    setObjectName(QStringLiteral("FileViewBase"));
    setContextMenuPolicy(Qt::CustomContextMenu);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(2);

    folderList_->setObjectName(QStringLiteral("FolderList"));
    folderList_->setModel(folders_);
    folderList_->setEditable(false);
    folderList_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    folderList_->setMinimumContentsLength(20);
    connect(folderList_, &QComboBox::activated, this, [this] { Q_EMIT folderChosen(); });

    fileView_->setObjectName(QStringLiteral("FileView"));
    fileView_->setModel(model_);
    fileView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    fileView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    fileView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fileView_->setWordWrap(false);
    fileView_->setCornerButtonEnabled(false);
    fileView_->setIconSize(QSize(16, 16));
    fileView_->verticalHeader()->hide();
    // Every row one height, never measured: 20,000 rows scroll like twenty.
    fileView_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    fileView_->verticalHeader()->setDefaultSectionSize(fileView_->fontMetrics().height() + 4);
    QHeaderView* header = fileView_->horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    fileView_->installEventFilter(this);

    box->addWidget(folderList_);
    box->addWidget(fileView_, 1);
}

ListFrame::~ListFrame() = default;

void ListFrame::AddFolder(const std::string& folder) { folders_->Add(folder); }

void ListFrame::SetFolders(const std::vector<std::string>& folders)
{
    const std::string selected = SelectedFolder();
    folders_->Assign(folders);
    // The folder shown before stays selected when it is still listed, else the first one.
    const int keep = folders_->list.IndexOf(selected);
    folderList_->setCurrentIndex(keep >= 0 ? keep : (folders_->list.Count() > 0 ? 0 : -1));
}

bool ListFrame::SelectFolder(const std::string& folder)
{
    const int at = folders_->list.IndexOf(folder);
    if (at < 0) return false;
    folderList_->setCurrentIndex(at);
    return true;
}

std::string ListFrame::SelectedFolder() const
{
    const int at = folderList_->currentIndex();
    return at >= 0 && at < folders_->list.Count() ? folders_->list.At(at) : std::string();
}

Selection ListFrame::SelectedRows() const
{
    Selection rows(static_cast<size_t>(model_->rowCount()));
    for (const QItemSelectionRange& range : fileView_->selectionModel()->selection()) {
        for (int r = range.top(); r <= range.bottom(); ++r) rows[static_cast<size_t>(r)] = true;
    }
    return rows;
}

void ListFrame::SelectRows(const Selection& rows)
{
    QItemSelection selection;
    const int last = kFileColumnCount - 1;
    // One range per run of selected rows.
    for (size_t r = 0; r < rows.size() && static_cast<int>(r) < model_->rowCount();) {
        if (!rows[r]) {
            ++r;
            continue;
        }
        size_t end = r;
        while (end + 1 < rows.size() && rows[end + 1]) ++end;
        selection.select(model_->index(static_cast<int>(r), 0), model_->index(static_cast<int>(end), last));
        r = end + 1;
    }
    fileView_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void ListFrame::GoToRow(int row)
{
    fileView_->setFocus();
    const QModelIndex at = model_->index(row, 0);
    fileView_->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    fileView_->scrollTo(at);
}

void ListFrame::ApplyLook(const Settings& s)
{
    for (QWidget* w : {static_cast<QWidget*>(folderList_), static_cast<QWidget*>(fileView_)}) {
        QFont font = w->font();
        font.setBold(s.FileListBoldFont);
        w->setFont(font);
        SetBackground(w, s.ListColor);
        SetTextColour(w, s.ListFontColor);
    }
    fileView_->verticalHeader()->setDefaultSectionSize(std::max(fileView_->fontMetrics().height(), 16) + 4);
    fileView_->setShowGrid(s.FileListBorderView);
    folderList_->setMaxVisibleItems(std::max(1, s.FolderListDropDownCount));
    model_->SetMarkIcons(MakeResultMarks(s));
}

bool ListFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == fileView_ && event->type() == QEvent::Resize) Q_EMIT fileViewResized();
    return QWidget::eventFilter(watched, event);
}

}  // namespace qv
