// The clip viewer in the real window (offscreen): the matching pass over a full viewer of
// 5,000,000 characters holding 10,000 occurrences of the shown file's codes, marks included,
// and a 1 MB clipboard change from its arrival until it is in the viewer and matched.
// Prints the best and the median of several runs in milliseconds.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "WindowBench.h"
#include "gui/shell/LifecycleController.h"
#include "gui/shell/MainWindow.h"
#include "processing/Driver.h"

namespace {

using qv::bench::Report;
using qv::bench::BenchWindow;
using qv::bench::Time;
using qv::bench::Wait;

std::string Hex(std::mt19937& rng, int n)
{
    std::string s;
    while (n-- > 0) s += "0123456789ABCDEF"[rng() % 16];
    return s;
}

// A CSV checksum list of about `size` characters; `hits` lines carry the given codes.
std::string ListText(size_t size, int hits, const std::string& crc, const std::string& md5)
{
    std::mt19937 rng(7);
    std::string s;
    const size_t lines = size / 64;
    const size_t every = std::max<size_t>(1, lines / static_cast<size_t>(hits));
    for (size_t line = 0; s.size() + 70 < size; ++line) {
        const bool hit = line % every == 0 && static_cast<int>(line / every) < hits;
        s += "\"file_" + std::to_string(line) + ".bin\",1024,";
        s += (hit ? crc : Hex(rng, 8)) + "," + (hit ? md5 : Hex(rng, 32)) + "\r\n";
    }
    return s;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    char folder[] = "/tmp/qv-viewer-bench-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    const std::string target = std::string(folder) + "/target.bin";
    std::ofstream(target) << "the file being checked";

    BenchWindow bench(folder);
    qv::MainWindow& window = *bench.window;
    window.DropPaths({target});
    Wait([&] { return !window.shell().driver.Running() && !window.result().ShownCrc().empty(); });
    window.findChild<QAction*>(QStringLiteral("CallClipViewer"))->trigger();
    const std::string crc = window.result().ShownCrc(), md5 = window.result().ShownMd5();
    QClipboard* clipboard = QGuiApplication::clipboard();
    const auto status = [&] { return window.shell().status.StatusText(); };

    const QString full = QString::fromStdString(ListText(5000000, 5000, crc, md5));
    std::printf("viewer text: %lld characters, 10,000 code occurrences\n", static_cast<long long>(full.size()));
    Report("clipboard change of 5,000,000 characters, load + pass", Time(3, [&] { clipboard->setText(full); }));
    if (status() != "ＣＲＣとＭＤ５が一致しました") std::printf("unexpected status: %s\n", status().c_str());
    QAction* closeup = window.findChild<QAction*>(QStringLiteral("CloseupFileName"));
    Report("matching pass with marks over 5,000,000 characters", Time(6, [&] { closeup->trigger(); }));

    const QString mb = QString::fromStdString(ListText(1 << 20, 200, crc, md5));
    int flip = 0;
    Report("clipboard change of 1 MB, in the viewer and matched", Time(6, [&] {
               // A different text each time, so every run is a real change.
               clipboard->setText(mb + QString::number(++flip));
           }));
    // Not closed: a closed window writes its settings when destroyed, after the folder is gone,
    // and would wait on the error box.
    std::string rm = std::string("rm -rf ") + folder;
    return std::system(rm.c_str()) == 0 ? 0 : 1;
}
