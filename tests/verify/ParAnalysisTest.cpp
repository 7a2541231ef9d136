#include <gtest/gtest.h>

#include <sys/stat.h>

#include "ParTestData.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "verify/ParAnalysis.h"
#include "verify/ParReport.h"

namespace qv {
namespace {

class ParAnalysis : public ::testing::Test {
protected:
    ParAnalysisContext Context(int64_t limit, bool extend = false)
    {
        ParAnalysisContext c{prompts_, clock_};
        c.limit = limit;
        c.par2ExtendReport = extend;
        c.deliver = [this](const std::string& text) { delivered_.push_back(text); };
        c.bringToFront = [this] { ++raised_; };
        return c;
    }

    std::string ValidPar1() const
    {
        test::Par1File file;
        file.entries.push_back({1, 10, test::Seq16(0x11), test::Seq16(0x22), u"a.txt"});
        return test::BuildPar1(file);
    }

    std::string ValidPar2() const
    {
        return test::Par2Main(test::Seq16(0xA0), 512, {test::Seq16(1)}) +
               test::Par2FileDesc(test::Seq16(0xA0), test::Seq16(1), test::Seq16(0x33), test::Seq16(0x44), 9, "a");
    }

    ScriptedPrompts prompts_;
    ManualClock clock_{EncodeDateTime({2024, 2, 29, 13, 0, 9})};
    TempDir dir_;
    std::vector<std::string> delivered_;
    int raised_ = 0;
};

TEST_F(ParAnalysis, DeliversExactlyTheReportTextWithCrLfLines)
{
    const std::string path = dir_.WriteFile("set.par", ValidPar1());
    EXPECT_TRUE(AnalyzeParFile(path, Context(1 << 20)));
    ASSERT_EQ(delivered_.size(), 1u);
    const std::string& text = delivered_[0];
    EXPECT_EQ(text, ParReportText(path, ValidPar1(), clock_.Now(), {}));
    EXPECT_TRUE(text.starts_with("[ Quenvarlith V1.08D PAR File Analyze Report ] 2024/02/29 13;00:09\r\n\r\nFileName = " +
                                 path + "\r\n"));
    EXPECT_TRUE(text.ends_with("\r\nEnd of 1 Files\r\n"));
    EXPECT_NE(text.find(test::Hex(test::Seq16(0x11)) + " " + test::Hex(test::Seq16(0x22)) + " a.txt - 10bytes\r\n"),
              std::string::npos);
    // No bare LF and no bare CR anywhere.
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            EXPECT_EQ(text[i - 1], '\r') << i;
        } else if (text[i] == '\r') {
            EXPECT_EQ(text[i + 1], '\n') << i;
        }
    }
    EXPECT_TRUE(prompts_.shown().empty());

    const std::string path2 = dir_.WriteFile("set.par2", ValidPar2());
    ParReportOptions extend;
    extend.par2ExtendReport = true;
    EXPECT_TRUE(AnalyzePar2File(path2, Context(1 << 20, true)));
    ASSERT_EQ(delivered_.size(), 2u);
    EXPECT_EQ(delivered_[1], ParReportText(path2, ValidPar2(), clock_.Now(), extend));
    EXPECT_NE(delivered_[1].find(std::string(17, ' ') + "ID - " + test::Hex(test::Seq16(1)) + "\r\n"), std::string::npos);
}

TEST_F(ParAnalysis, MalformedFilesAreDeliveredButReportFailure)
{
    EXPECT_FALSE(AnalyzeParFile(dir_.WriteFile("short.par", ValidPar1().substr(0, 95)), Context(1000)));
    EXPECT_FALSE(AnalyzePar2File(dir_.WriteFile("junk.par2", ValidPar2() + "junk"), Context(1000)));
    ASSERT_EQ(delivered_.size(), 2u);
    EXPECT_TRUE(delivered_[0].ends_with("<<< エラー：ファイルサイズがヘッダ部基本領域以下です >>>\r\n"));
    EXPECT_TRUE(delivered_[1].ends_with("... Lost Data\r\n\r\nEnd of Packet\r\n"));
    EXPECT_TRUE(prompts_.shown().empty());
}

TEST_F(ParAnalysis, SizeLimitBoundaries)
{
    const std::string bytes = ValidPar1();
    const int64_t size = static_cast<int64_t>(bytes.size());
    const std::string path = dir_.WriteFile("p.p05", bytes);

    EXPECT_TRUE(AnalyzeParFile(path, Context(size)));   // exactly the limit
    EXPECT_EQ(delivered_.size(), 1u);
    EXPECT_EQ(raised_, 0);

    prompts_.Push(Answer::Ok);
    EXPECT_FALSE(AnalyzeParFile(path, Context(size - 1)));   // one byte over
    EXPECT_EQ(delivered_.size(), 1u);
    EXPECT_EQ(raised_, 1);
    ASSERT_EQ(prompts_.shown().size(), 1u);
    const auto& box = prompts_.shown()[0];
    EXPECT_EQ(box.title, "Quenvarlith");
    EXPECT_EQ(box.buttons, Buttons::Ok);
    EXPECT_EQ(box.icon, BoxIcon::None);
    const std::string sizeText = std::to_string(size);
    const std::string limitText = std::to_string(size - 1);
    EXPECT_EQ(box.text, "<<< エラー：ファイルサイズがPARファイルの許容設定値を超えました >>>\r"
                        "\r"
                        "    ファイルサイズ :" + std::string(20 - sizeText.size(), ' ') + sizeText + " bytes\r"
                        "    許容設定値     :" + std::string(20 - limitText.size(), ' ') + limitText + " bytes\r"
                        "    ※正常なPARファイルでない恐れがあります※\r"
                        "    必要ならIniファイルの\"Limit PAR FileSize\"の値を調整して下さい");

    prompts_.Push(Answer::Ok);
    EXPECT_FALSE(AnalyzePar2File(dir_.WriteFile("q.par2", ValidPar2()), Context(0)));
    EXPECT_EQ(delivered_.size(), 1u);
    // A negative limit (a 32-bit setting gone wrong) refuses everything, even an empty file.
    prompts_.Push(Answer::Ok);
    EXPECT_FALSE(AnalyzePar2File(dir_.WriteFile("empty.par2", ""), Context(-1)));
    EXPECT_EQ(prompts_.shown().size(), 3u);
    // Sizes beyond 32 bits keep all their digits in the 20-character field.
    EXPECT_NE(ParLimitMessage(5000000000LL, 2147483647).find("    ファイルサイズ :          5000000000 bytes\r"),
              std::string::npos);
}

TEST_F(ParAnalysis, UnreadableFilesAreNamedWithTheReason)
{
    const std::string missing = dir_.Path("missing.par2");
    prompts_.Push(Answer::Ok);
    EXPECT_FALSE(AnalyzePar2File(missing, Context(1 << 20)));
    const std::string folder = dir_.MakeFolder("folder.par");
    prompts_.Push(Answer::Ok);
    EXPECT_FALSE(AnalyzeParFile(folder, Context(1 << 20)));

    // Neither a FIFO nor a device is read: both could block or never end.
    const std::string fifo = dir_.Path("pipe.par2");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    prompts_.Push(Answer::Ok);
    EXPECT_FALSE(AnalyzePar2File(fifo, Context(1 << 20)));
    prompts_.Push(Answer::Ok);
    EXPECT_FALSE(AnalyzeParFile("/dev/zero", Context(1 << 20)));

    EXPECT_TRUE(delivered_.empty());
    const std::string paths[] = {missing, folder, fifo, "/dev/zero"};
    ASSERT_EQ(prompts_.shown().size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        const auto& box = prompts_.shown()[i];
        EXPECT_NE(box.text.find(paths[i]), std::string::npos) << box.text;
        EXPECT_EQ(box.icon, BoxIcon::Error);
        // The reason follows the path on a line of its own.
        const size_t reason = box.text.rfind('\r');
        ASSERT_NE(reason, std::string::npos);
        EXPECT_GT(box.text.size(), reason + 1) << box.text;
    }
}

TEST(ParKind, Par2OnlyForTheExactExtensionInAnyCase)
{
    for (const char* path : {"/a/set.par2", "/a/SET.PAR2", "x.Par2", ".par2"})
        EXPECT_EQ(ParKindOfPath(path), ParKind::Par2) << path;
    for (const char* path : {"/a/set.par", "/a/set.P01", "/a/set.p99", "x.par2.bak", "/dir.par2/file", "x.par22", "noext"})
        EXPECT_EQ(ParKindOfPath(path), ParKind::Par1) << path;
    EXPECT_TRUE(ParReportText("S.PAR2", "", 0, {}).starts_with("[ Quenvarlith V1.08D PAR2 File Analyze Report ]"));
    EXPECT_TRUE(ParReportText("S.P07", "", 0, {}).starts_with("[ Quenvarlith V1.08D PAR File Analyze Report ]"));
}

TEST(ParReportTime, TwentyFourHourClockWithSemicolon)
{
    EXPECT_EQ(ReportTimeStamp(EncodeDateTime({2024, 1, 2, 0, 0, 0})), "2024/01/02 00;00:00");
    EXPECT_EQ(ReportTimeStamp(EncodeDateTime({1999, 12, 31, 23, 59, 59})), "1999/12/31 23;59:59");
    EXPECT_EQ(ReportTimeStamp(EncodeDateTime({2024, 7, 8, 15, 4, 5, 999})), "2024/07/08 15;04:05");
}

}  // namespace
}  // namespace qv
