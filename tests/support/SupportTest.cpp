// The shared test helpers are code too: they must fail a test that meets a prompt nobody
// scripted, and clean up whatever a test leaves behind.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

namespace qv {
namespace {

TEST(ScriptedPrompts, AnswersInOrderRecordsAndFallsBackToDefaults)
{
    ScriptedPrompts prompts;
    prompts.Push(Answer::No).PushInput("typed").PushInputCancel();
    EXPECT_EQ(prompts.Message("Quenvarlith", "上書きしますか?", Buttons::YesNo, BoxIcon::Question, 1), Answer::No);
    std::string value = "offered";
    EXPECT_TRUE(prompts.Input("入力", "名前", value) && value == "typed");
    EXPECT_FALSE(prompts.Input("入力", "名前", value) || value != "typed");
    ASSERT_EQ(prompts.shown().size(), 3u);
    EXPECT_EQ(prompts.shown()[1].inputDefault, "offered");
    prompts.SetDefaultAnswer(Answer::Yes);
    EXPECT_EQ(prompts.Message("t", "a", Buttons::YesNo), Answer::Yes);
    // A default the box does not offer falls back to its last button.
    EXPECT_EQ(prompts.Message("t", "b", Buttons::AbortRetryIgnore), Answer::Ignore);
}

TEST(ScriptedPrompts, UnscriptedOrMismatchedPromptsFailTheTest)
{
    EXPECT_NONFATAL_FAILURE(ScriptedPrompts().Message("t", "surprise", Buttons::Ok), "unexpected message box");
    std::string value;
    EXPECT_NONFATAL_FAILURE(ScriptedPrompts().Input("t", "surprise", value), "unexpected input box");
    EXPECT_NONFATAL_FAILURE(ScriptedPrompts().Push(Answer::Yes).Message("t", "x", Buttons::OkCancel),
                            "not a button of the box");
    EXPECT_NONFATAL_FAILURE(ScriptedPrompts().PushInput("v").Message("t", "x", Buttons::Ok), "expected an input box");
}

TEST(TempDir, UniqueAndRemovedWithEverythingInIt)
{
    std::string root;
    {
        TempDir dir, other;
        EXPECT_NE(dir.path(), other.path());
        root = dir.path();
        const std::string file = dir.WriteFile("a/b/c.txt", std::string("x\0y", 3));
        EXPECT_EQ(TempDir::ReadFile(file), std::string("x\0y", 3));
        TempDir::SetMtime(file, 1000000001);
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_mtime, 1000000001);
        dir.WriteFile(dir.MakeFolder("locked/inner") + "/f", "f");
        ASSERT_EQ(::chmod(dir.Path("locked").c_str(), 0500), 0);
        ASSERT_EQ(::symlink("/", dir.Path("rootlink").c_str()), 0);   // must not be followed
    }
    EXPECT_NE(::access(root.c_str(), F_OK), 0);
}

}  // namespace
}  // namespace qv
