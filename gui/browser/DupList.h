#pragma once
#include <QObject>

#include <string>
#include <vector>

#include "browser/FileCommands.h"
#include "gui/browser/FileIcons.h"
#include "gui/shell/Shell.h"

class QTreeWidget;
class QWidget;

namespace qv {

class GridLineDelegate;

// The dup frame DupList: one column of full paths, the shown file among them. Each row keeps
// its path's bytes, so commands act on the real file whatever its name holds.
class DupListView final : public QObject, public DuplicateList {
    Q_OBJECT
public:
    DupListView(const Settings& settings, HashHistory& history, QWidget* pageParent);

    QTreeWidget* Widget() const { return list_; }

    // DuplicateList.
    int FindDuplicates(int& index) override;
    void Clear() override;

    std::vector<std::string> Paths() const;
    Selection SelectedRows() const;
    void RemoveRow(int row);
    // Icons, bold font, grid lines and colours as the settings say.
    void ApplyLook();
    // The single column as wide as its widest entry.
    void FitColumn();

Q_SIGNALS:
    void resized();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const Settings& settings_;
    HashHistory& history_;
    QTreeWidget* list_;
    GridLineDelegate* grid_;
    FileIcons icons_;
};

}  // namespace qv
