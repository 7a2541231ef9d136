#pragma once
// The list frame as a person meets it: the folder picked, rows read from the real view,
// header clicks and double clicks sent as mouse events.
#include "AppTestSupport.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTableView>

#include <string>
#include <vector>

#include "gui/browser/FileIcons.h"
#include "gui/shell/Theme.h"

namespace qv {

class BrowserTest : public WindowTest {
protected:
    QTableView* View() const { return Find<QTableView>("FileView"); }
    std::string Cell(int row, int column) const
    {
        return View()->model()->index(row, column).data().toString().toStdString();
    }
    std::vector<std::string> Column(int column) const
    {
        std::vector<std::string> texts;
        for (int r = 0; r < View()->model()->rowCount(); ++r) texts.push_back(Cell(r, column));
        return texts;
    }
    std::string Header(int column) const
    {
        return View()->model()->headerData(column, Qt::Horizontal).toString().toStdString();
    }
    // The list frame on a folder the history knows.
    void ShowFolder(const std::string& folder)
    {
        ASSERT_TRUE(S().folders.SelectFolder(folder)) << folder;
        Trigger("CallListFrame");
    }
    void Select(const std::vector<std::string>& names) const
    {
        View()->clearSelection();
        for (int r = 0; r < View()->model()->rowCount(); ++r) {
            if (std::find(names.begin(), names.end(), Cell(r, 0)) != names.end())
                View()->selectionModel()->select(View()->model()->index(r, 0),
                                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    std::vector<std::string> SelectedNames() const
    {
        std::vector<std::string> names;
        for (int r = 0; r < View()->model()->rowCount(); ++r)
            if (View()->selectionModel()->isRowSelected(r, {})) names.push_back(Cell(r, 0));
        return names;
    }
    // Which result mark each row shows (-1: a file icon or nothing), by the image on screen.
    std::vector<int> ShownMarks() const
    {
        const auto marks = MakeResultMarks(S().settings);
        std::vector<int> shown;
        for (int r = 0; r < View()->model()->rowCount(); ++r) {
            const QImage image =
                View()->model()->index(r, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(16, 16).toImage();
            int m = 4;
            while (m >= 0 && image != marks[static_cast<size_t>(m)].pixmap(16, 16).toImage()) --m;
            shown.push_back(m);
        }
        return shown;
    }
    void Mouse(QWidget* on, QEvent::Type type, QPoint at, Qt::KeyboardModifiers modifiers = {}) const
    {
        QMouseEvent e(type, at, on->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, modifiers);
        QCoreApplication::sendEvent(on, &e);
    }
    void ClickHeader(int column) const
    {
        QHeaderView* header = View()->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + 4, header->height() / 2);
        Mouse(header->viewport(), QEvent::MouseButtonPress, at);
        Mouse(header->viewport(), QEvent::MouseButtonRelease, at);
    }
    void DoubleClickRow(int row) const
    {
        const QPoint at = View()->visualRect(View()->model()->index(row, 0)).center();
        for (const QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                                     QEvent::MouseButtonRelease})
            Mouse(View()->viewport(), t, at);
    }
    std::string CrcOf(const std::string& path) const { return S().history.RecordAt(IndexOf(path)).Crc; }
    std::string Md5Of(const std::string& path) const { return S().history.RecordAt(IndexOf(path)).Md5; }
};

}  // namespace qv
