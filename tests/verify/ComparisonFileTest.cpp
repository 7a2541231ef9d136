#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "ParTestData.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "verify/ComparisonFile.h"

namespace qv {
namespace {

TEST(ComparisonExtensions, StringsAndSingleFileRoutes)
{
    const ExtensionOptions all;
    const ExtensionOptions some{false, true, false, false, false, false, ".LIST.MD5"};
    EXPECT_EQ(BuildExtensionStrings(all).comparison, ".TXT.CSV.CRC.SFV.MD5SUM.HTML");
    EXPECT_EQ(BuildExtensionStrings(some).comparison, ".LIST.MD5.CSV");
    EXPECT_EQ(kParExtensions.size(), 405u);
    EXPECT_TRUE(kParExtensions.starts_with(".PAR.P01.P02") && kParExtensions.ends_with(".P98.P99.PAR2"));

    const ExtensionOptions noMd5{true, true, true, false, true, true, ""};
    struct Row { const char* path; const ExtensionOptions& options; ListRoute route; };
    const Row rows[] = {
        {"/d/a.SFV", all, ListRoute::LoadText},   {"/d/a.md5", all, ListRoute::LoadText},
        {"/d/a.htm", all, ListRoute::LoadText},   {"/d/a.md5", noMd5, ListRoute::Hash},
        {"/d/a.md5", some, ListRoute::LoadText},  {"/d/a.li", some, ListRoute::LoadText},
        {"/d/noext", all, ListRoute::Hash},       {"/d/a.", all, ListRoute::Hash},
        {"/d.txt/a", all, ListRoute::Hash},       {"/d/x.P05", all, ListRoute::AnalyzePar},
        {"/d/x.par2", all, ListRoute::AnalyzePar2}, {"/d/x.par2", some, ListRoute::Hash},
    };
    for (const Row& r : rows) EXPECT_EQ(SingleFileRoute(r.path, BuildExtensionStrings(r.options)), r.route) << r.path;
}

TEST(ComparisonExtensions, OpenTextPlans)
{
    struct Row { const char* path; const char* extra; int64_t maxLength; ListRoute route; int64_t limit; const char* status; };
    const Row rows[] = {
        {"/d/a.md5", "", 5000000, ListRoute::LoadText, 32768, ""},   // whatever the menu ticks say
        {"/d/a.TXT", "", 1000, ListRoute::LoadText, 1000, ""},
        {"/d/a.li", ".LIST", 5000000, ListRoute::LoadText, 32768, ""},
        {"/d/a.P05", "", 5000000, ListRoute::AnalyzePar, 0, ""},
        {"/d/a.par2", "", 5000000, ListRoute::AnalyzePar2, 0, ""},
        {"/d/readme.doc", "", 5000000, ListRoute::Hash, 0, "読み込み出来る拡張子ではありません (.doc)"},
    };
    for (const Row& r : rows) {
        const OpenTextPlan plan = PlanOpenText(r.path, r.extra, r.maxLength);
        EXPECT_EQ(std::tie(plan.route, plan.byteLimit, plan.status), std::tuple(r.route, r.limit, r.status)) << r.path;
    }
}

// A list over the open-text limit is refused, and read whole when dropped: the window tests check both.
TEST(ComparisonFileLoad, SizeRulesOfTheTwoRoutes)
{
    TempDir dir;
    const std::string path = dir.WriteFile("big.sfv", std::string(39990, ' ') + "1A2B3C4D\r\n");
    EXPECT_EQ(LoadComparisonFile(path, kListByteLimit, 100).text.size(), 100u);   // the viewer's length

    // A 4 GiB list dropped alone is refused before anything is read.
    const std::string huge = dir.WriteFile("huge.txt", "");
    ASSERT_EQ(::truncate(huge.c_str(), (int64_t{4} << 30) + 1), 0);
    EXPECT_EQ(LoadComparisonFile(huge, kListByteLimit, 5000000).status, "読み込み出来る上限サイズを超えています (4,294,967,297byte)");
}

TEST(ComparisonFileLoad, UnreadableChoicesFailWithTheirReason)
{
    TempDir dir;
    const std::string fifo = dir.Path("list.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Row { std::string path; const char* reason; };
    const Row rows[] = {
        {dir.Path("vanished.txt"), "No such file or directory"}, {fifo, "通常のファイルではありません"},
        {"/dev/zero", "通常のファイルではありません"}, {dir.MakeFolder("folder.txt"), "Is a directory"},
    };
    for (const Row& r : rows) {
        const ListText t = LoadComparisonFile(r.path, kListByteLimit, 5000000);
        EXPECT_EQ(std::tie(t.result, t.message),
                  std::tuple(ReadStatus::Failed, "ファイルを読み込めませんでした\r" + r.path + "\r" + r.reason));
    }
}

// A parity set named to the terminal over "Limit PAR FileSize" is not analysed (its report and the
// plain lists are checked through the terminal mode).
TEST(ComparisonFileLoad, ListFilesForTheTerminal)
{
    TempDir dir;
    ListFileOptions options;
    options.parLimit = 10;
    EXPECT_EQ(LoadListFile(dir.WriteFile("set.P01", test::BuildPar1({})), options).result, ReadStatus::TooLarge);
}

TEST(ComparisonExtensions, ExtraExtensionInput)
{
    ScriptedPrompts prompts;
    std::string extra = ".OLD";
    prompts.PushInput(".list").PushInputCancel().PushInput("");
    EXPECT_EQ(OptionExtInputClick(prompts, extra), "Text比較追加拡張子 = .LIST");
    EXPECT_EQ(extra, ".LIST");
    EXPECT_EQ(prompts.shown().at(0).title, "Text比較追加拡張子入力");
    EXPECT_EQ(prompts.shown()[0].text, "ドットを含めた拡張子を列記して下さい\r\".LIST\"なら\".LIST\"も\".LI\"も有効になります");
    EXPECT_EQ(prompts.shown()[0].inputDefault, ".OLD");
    EXPECT_EQ(OptionExtInputClick(prompts, extra), "Text比較追加拡張子 = .LIST");   // cancelled
    EXPECT_EQ(OptionExtInputClick(prompts, extra), "Text比較追加拡張子 = (指定無し)");
}

}  // namespace
}  // namespace qv
