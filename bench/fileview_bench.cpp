// The file view in the real window (offscreen): filling it from a folder of 20,000 files whose
// codes are all in a 1,000,000-record history, sorting through the header, scrolling page by
// page, resizing, the two bulk checks with their marks, and a folder of 200,000 entries.
// Every figure includes the layout and painting the step leaves behind.
// Usage: fileview_bench [records=1000000] [files=20000] [bigFolder=200000]
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "BrowserData.h"
#include "WindowBench.h"
#include "gui/shell/LifecycleController.h"
#include "gui/shell/MainWindow.h"
#include "processing/Driver.h"

namespace {

using qv::bench::Report;
using qv::bench::BenchWindow;
using qv::bench::Time;
using qv::bench::Wait;

// Every step in a window over root; the window is gone (settings written) when this returns.
void Measure(const std::string& root, const std::string& folder, int records, int files, int bigFolder)
{
    BenchWindow bench(root);
    qv::MainWindow& window = *bench.window;
    const qv::Shell& shell = window.shell();
    const auto status = [&] { return shell.status.StatusText(); };
    qv::bench::BuildHistory(shell.history, root, folder, records);
    std::printf("fileview_bench: %d history records, %d files in the folder\n", shell.history.Count(), files);
    const auto action = [&](const char* name) { return window.findChild<QAction*>(QString::fromLatin1(name)); };
    auto* view = window.findChild<QTableView*>(QStringLiteral("FileView"));
    shell.folders.AddFolder(folder);
    shell.folders.SelectFolder(folder);
    Report("show the list frame on the folder", Time(1, [&] { action("CallListFrame")->trigger(); }),
           status);
    Report("reread the folder (FListRefresh)", Time(5, [&] { action("FListRefresh")->trigger(); }));
    QHeaderView* header = view->horizontalHeader();
    int column = 0;
    Report("sort through the header (size, then name, ...)", Time(6, [&] {
               Q_EMIT header->sectionClicked(column == 1 ? 0 : 1);
               column = column == 1 ? 0 : 1;
           }));
    QScrollBar* bar = view->verticalScrollBar();
    const int pages = 200;
    std::vector<double> scroll = Time(pages, [&] {
        bar->setValue(bar->value() + bar->pageStep() * 10);
        view->viewport()->repaint();
    });
    Report("scroll ten pages and repaint, per step", scroll);
    int width = 900;
    Report("resize the window (auto widths, layout, paint)", Time(20, [&] {
               width = width == 900 ? 1100 : 900;
               window.resize(width, 700);
               view->viewport()->repaint();
           }));

    // A checksum list naming every second file with its MD5, up to 5,000,000 bytes.
    const auto& rows = view->model();
    std::string text;
    for (int r = 0; r < rows->rowCount(); r += 2) {
        text += rows->index(r, 3).data().toString().toStdString() + " *" +
                rows->index(r, 0).data().toString().toStdString() + "\r\n";
    }
    std::mt19937_64 rng(3);
    for (int n = 0; text.size() < 5000000; ++n) text += qv::bench::Hex(rng, 32) + " *Elsewhere " + std::to_string(n) + "\r\n";
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    QCoreApplication::processEvents();
    Report("bulk check against 5,000,000 bytes (marks, viewer)", Time(3, [&] { action("AllCheck")->trigger(); }),
           status);
    Report("bulk duplicate check against the history", Time(3, [&] { action("B1")->trigger(); }),
           status);

    const std::string big = root + "/Big";
    if (bigFolder > 0 && qv::bench::MakeFiles(big, bigFolder, "e%07d")) {
        shell.folders.AddFolder(big);
        shell.folders.SelectFolder(big);
        Report("reread a folder of many entries", Time(3, [&] { action("FListRefresh")->trigger(); }),
               status);
    }
    shell.history.ClearHistory();   // the exit save is not what this measures
    window.close();
}

}  // namespace

int main(int argc, char* argv[])
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int files = argc > 2 ? std::atoi(argv[2]) : 20000;
    const int bigFolder = argc > 3 ? std::atoi(argv[3]) : 200000;
    char rootBuffer[] = "/tmp/qv-fileview-bench-XXXXXX";
    if (!::mkdtemp(rootBuffer)) return 1;
    const std::string root = rootBuffer, folder = root + "/Folder";
    if (qv::bench::MakeFiles(folder, files, "Data file %06d.dat")) Measure(root, folder, records, files, bigFolder);
    const std::string rm = "rm -rf '" + root + "'";
    return std::system(rm.c_str()) == 0 ? 0 : 1;
}
