// The hashing run, --compare, --analyze, --help, --version, and who goes headless.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "HeadlessFixture.h"
#include "support/Par2Set.h"
#include "support/TestClock.h"

namespace qv::test {
namespace {

using Lines = std::vector<std::string>;
using HeadlessTest = HeadlessFixture;

TEST_F(HeadlessTest, HashesFilesAndFolderContentsInOrderAndKeepsTheHistory)
{
    files.WriteFile("abc.txt", "abc");
    files.WriteFile("dir/empty", "");
    files.WriteFile("dir/.hidden", "secret");      // left out by the default file mask
    files.WriteFile("dir/inner/deep.txt", "x");    // subfolders are not entered
    EXPECT_EQ(Run({"--no-gui", "abc.txt", "dir"}), 0) << err;
    const std::string first = kAbcLine + files.Path("abc.txt") + "\n" +
                              "00000000  D41D8CD98F00B204E9800998ECF8427E  " + files.Path("dir/empty") + "\n";
    EXPECT_EQ(out, first);
    EXPECT_EQ(err, "");
    EXPECT_EQ(opens.load(), 1);
    EXPECT_EQ(Saved(), (Lines{files.Path("abc.txt"), files.Path("dir/empty")}));
    // The second run takes both from the loaded history without reading.
    EXPECT_EQ(Run({"--no-gui", "abc.txt", "dir"}), 0) << err;
    EXPECT_EQ(out, first);
    EXPECT_EQ(opens.load(), 1);
}

TEST_F(HeadlessTest, FailuresAreReportedAndTheRunGoesOn)
{
    // In listing order a.bin, b.bin (failing), c.bin: b is read ahead while a finishes.
    for (const char* name : {"dir/a.bin", "dir/b.bin", "dir/c.bin", "d.bin"}) files.WriteFile(name, "abc");
    failName = "/b.bin";
    EXPECT_EQ(Run({"--no-gui", "missing.bin", "dir", "d.bin"}), 1);
    // The reader that ended on the error is replaced for the next file.
    EXPECT_EQ(out, kAbcLine + files.Path("dir/a.bin") + "\n" + kAbcLine + files.Path("dir/c.bin") + "\n" +
                       kAbcLine + files.Path("d.bin") + "\n");
    EXPECT_EQ(err.rfind("パラメータエラー" + files.Path("missing.bin") + "　（見つかりません）\n" +
                            "Quenvarlith V1.08D エラー情報\n\n読取り時にエラーを検出しました\nフォルダ\t\t" +
                            files.Path("dir") + "/\nファイル名\tb.bin\n", 0), 0u) << err;
    EXPECT_EQ(err.find("エラー情報", err.find("エラー情報") + 1), std::string::npos) << err;   // one report
    EXPECT_EQ(err.find('\r'), std::string::npos);
    EXPECT_EQ(opens.load(), 4);
}

TEST_F(HeadlessTest, BadArgumentsAreNamedWithTheirReason)
{
    files.WriteFile(".hidden", "abc");
    ASSERT_EQ(::mkfifo(files.Path("fifo").c_str(), 0600), 0);
    const struct { std::string argument, shown, reason; } cases[] = {
        {"", "", "空の引数です"},   // not the current folder
        {"gone", files.Path("gone"), "見つかりません"},
        {"fifo", files.Path("fifo"), "通常のファイルではありません"},
        {".hidden", files.Path(".hidden"), "属性の制限で対象外です"},
        {"gone\nline", files.Path("gone\\nline"), "見つかりません"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run({"--no-gui", c.argument}), 1) << c.argument;
        EXPECT_EQ(out, "");
        EXPECT_EQ(err, "パラメータエラー" + c.shown + "　（" + c.reason + "）\n");
    }
}

TEST_F(HeadlessTest, NamesAreEscapedAsMd5sumDoesSoEachFileKeepsOneLine)
{
    const struct { std::string name, line; } cases[] = {
        {"plain name.txt", kAbcLine + files.Path("plain name.txt")},
        {"new\nline", "\\" + kAbcLine + files.Path("new\\nline")},
        {"cr\rname", "\\" + kAbcLine + files.Path("cr\\rname")},
        {"back\\slash", "\\" + kAbcLine + files.Path("back\\\\slash")},
        {"\xff\xfe.bin", kAbcLine + files.Path("\xff\xfe.bin")},   // bytes as they are
    };
    std::vector<std::string> args{"--no-gui"};
    std::string expected;
    for (const auto& c : cases) {
        files.WriteFile(c.name, "abc");
        args.push_back(c.name);
        expected += c.line + "\n";
    }
    EXPECT_EQ(Run(args), 0) << err;
    EXPECT_EQ(out, expected);
}

TEST_F(HeadlessTest, InterruptStopsAfterTheCurrentFileAndStillSavesTheHistory)
{
    files.WriteFile("1.txt", "abc");
    files.WriteFile("2.txt", "abc");
    stopAfterLines = 1;
    EXPECT_EQ(Run({"--no-gui", "1.txt", "2.txt"}), 1);
    EXPECT_EQ(out, kAbcLine + files.Path("1.txt") + "\n");
    EXPECT_EQ(err, "処理を中止しました\n");
    EXPECT_EQ(Saved(), Lines{files.Path("1.txt")});
}

TEST_F(HeadlessTest, ProgressLineOnlyOnATerminal)
{
    TestClock racing(45000.5);
    racing.step = 1000;   // every progress refresh falls due
    clock = &racing;
    for (const char* name : {"quiet.bin", "big.bin"}) files.WriteFile(name, std::string(4 * 65536, 'q'));
    ASSERT_EQ(Run({"--no-gui", "quiet.bin"}), 0) << err;
    EXPECT_EQ(err, "");
    terminal = true;
    ASSERT_EQ(Run({"--no-gui", "big.bin"}), 0) << err;
    EXPECT_EQ(err.rfind("\r\033[K処理中 256KB中 0.0KB (0%) big.bin", 0), 0u) << err;
    EXPECT_EQ(err.substr(err.size() - 4), "\r\033[K");
}

TEST_F(HeadlessTest, HelpVersionAndUsageErrors)
{
    EXPECT_EQ(Run({"--version"}), 0);
    EXPECT_EQ(out, "Quenvarlith V1.08D\n");
    EXPECT_EQ(Run({"--no-gui", "--help"}), 0);
    EXPECT_EQ(out.rfind("Quenvarlith V1.08D", 0), 0u);
    EXPECT_NE(out.find("--no-gui"), std::string::npos);
    EXPECT_EQ(out.find("説明書"), std::string::npos);   // none shipped: nothing to point at
    const std::string manual = home.WriteFile("shipped/manual/index.html", "<html></html>");
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_NE(out.find("\n説明書 (HTML): " + manual + "\n"), std::string::npos) << out;
    for (const Lines& args : {Lines{"--no-gui"}, Lines{"--no-gui", "--analyze"}, Lines{"--no-gui", "--bogus", "x"}}) {
        EXPECT_EQ(Run(args), 2) << args.back();
        EXPECT_EQ(out, "");
    }
    EXPECT_NE(err.find("--bogus"), std::string::npos);
    // After "--" a name that looks like an option is a file.
    files.WriteFile("--odd", "abc");
    EXPECT_EQ(Run({"--no-gui", "--", "--odd"}), 0) << err;
    EXPECT_EQ(out, kAbcLine + files.Path("--odd") + "\n");
}

TEST_F(HeadlessTest, AnalyzePrintsTheReportOrFails)
{
    EXPECT_EQ(Run({"--no-gui", "--analyze", "nothing.par2"}), 1);
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find(files.Path("nothing.par2")), std::string::npos);
    files.WriteFile("broken.PAR2", "not a parity file");
    EXPECT_EQ(Run({"--no-gui", "--analyze", "broken.PAR2"}), 1);
    EXPECT_NE(out.find("\r\n"), std::string::npos);
}

TEST_F(HeadlessTest, CompareMatchesEachFileAgainstTheListAndTellsWhatWasFound)
{
    files.WriteFile("abc.bin", "abc");
    const std::string line = kAbcLine + files.Path("abc.bin") + "  ";
    const struct { std::string name, bytes, status; int exit; } lists[] = {
        {"lower.md5", "900150983cd24fb0d6963f7d28e17f72 *abc.bin\n", "ＭＤ５が一致しました", 0},
        {"both.sfv", "; made elsewhere\r\nabc.bin 352441c2\r\n900150983CD24FB0D6963F7D28E17F72\r\n",
         "ＣＲＣとＭＤ５が一致しました", 0},
        // UTF-16 with its byte-order mark, and CP932 with a Japanese name.
        {"wide.txt", std::string("\xFF\xFE" "3\0" "5\0" "2\0" "4\0" "4\0" "1\0" "C\0" "2\0", 18),
         "ＣＲＣが一致しました", 0},
        {"sjis.csv", "\x83\x74\x83\x40\x83\x43\x83\x8B,352441C2\r\n", "ＣＲＣが一致しました", 0},
        {"other.txt", "nothing here 352441C\n", "クリップボードに一致したコードは有りません", 1},
        {"set.par2", Par2Naming("900150983CD24FB0D6963F7D28E17F72", "abc.bin"), "ＭＤ５が一致しました", 0},
    };
    for (const auto& l : lists) {
        files.WriteFile(l.name, l.bytes);
        EXPECT_EQ(Run({"--no-gui", "--compare", l.name, "abc.bin"}), l.exit) << l.name << err;
        EXPECT_EQ(out, line + l.status + "\n") << l.name;
    }

    // The list from standard input; a file that fails counts against the run.
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const std::string list = "900150983cd24fb0d6963f7d28e17f72\n";
    ASSERT_EQ(::write(pipeFds[1], list.data(), list.size()), static_cast<ssize_t>(list.size()));
    ::close(pipeFds[1]);
    inputFd = pipeFds[0];
    EXPECT_EQ(Run({"--no-gui", "--compare", "-", "abc.bin", "missing.bin"}), 1);
    ::close(pipeFds[0]);
    EXPECT_EQ(out, line + "ＭＤ５が一致しました\n");
}

TEST_F(HeadlessTest, CompareWithAListThatCannotBeReadHashesNothing)
{
    files.WriteFile("abc.bin", "abc");
    ASSERT_EQ(::mkfifo(files.Path("fifo.md5").c_str(), 0600), 0);
    for (const std::string list : {"gone.md5", "fifo.md5", ""}) {
        EXPECT_EQ(Run({"--no-gui", "--compare", list, "abc.bin"}), 2) << list;
        EXPECT_EQ(out, "");
        EXPECT_EQ(err.rfind("一覧ファイル " + list + ": 読み込めませんでした (", 0), 0u) << err;
    }
    EXPECT_EQ(opens.load(), 0);
    EXPECT_EQ(Run({"--no-gui", "--compare", "gone.md5"}), 2);   // a list alone names no file
}

TEST(HeadlessDispatch, WhoGoesHeadless)
{
    const struct { std::vector<const char*> args; bool display, headless; } rows[] = {
        {{"q", "--no-gui", "a"}, true, true}, {{"q", "--help"}, true, true}, {{"q", "--version"}, true, true},
        {{"q", "--analyze", "a.par2"}, true, true}, {{"q", "a"}, true, false}, {{"q", "a"}, false, true},
        {{"q"}, false, false}, {{"q", "--", "-a"}, false, true}, {{"q", "--", "--no-gui"}, true, false},
    };
    for (const auto& row : rows) {
        std::vector<char*> argv;
        for (const char* a : row.args) argv.push_back(const_cast<char*>(a));
        const bool headless = WantsHeadless(static_cast<int>(argv.size()), argv.data(), row.display);
        EXPECT_EQ(headless, row.headless) << row.args.back() << " " << row.display;
    }
}

}  // namespace
}  // namespace qv::test
