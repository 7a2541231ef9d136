// The shared test helpers are code too: check that they script and clean up as promised.
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

namespace qv {
namespace {

bool Exists(const std::string& path)
{
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

TEST(ScriptedPrompts, AnswersInOrderAndRecordsWhatWasShown)
{
    ScriptedPrompts prompts;
    prompts.Push(Answer::No).Push(Answer::Retry).PushInput("typed");
    EXPECT_EQ(prompts.Message("Quenvarlith", "上書きしますか?", Buttons::YesNo, BoxIcon::Question, 1),
              Answer::No);
    EXPECT_EQ(prompts.Message("t", "line1\rline2", Buttons::RetryCancel), Answer::Retry);
    std::string value = "offered";
    EXPECT_TRUE(prompts.Input("入力", "名前", value));
    EXPECT_EQ(value, "typed");
    prompts.Beep();
    prompts.Beep();

    ASSERT_EQ(prompts.shown().size(), 3u);
    EXPECT_EQ(prompts.shown()[0].title, "Quenvarlith");
    EXPECT_EQ(prompts.shown()[0].text, "上書きしますか?");
    EXPECT_EQ(prompts.shown()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(prompts.shown()[0].icon, BoxIcon::Question);
    EXPECT_EQ(prompts.shown()[0].defaultButton, 1);
    EXPECT_EQ(prompts.shown()[2].kind, ScriptedPrompts::Kind::Input);
    EXPECT_EQ(prompts.shown()[2].inputDefault, "offered");
    EXPECT_EQ(prompts.MessageTexts(), (std::vector<std::string>{"上書きしますか?", "line1\rline2"}));
    EXPECT_EQ(prompts.LastText(), "名前");
    EXPECT_EQ(prompts.beeps(), 2);
    EXPECT_EQ(prompts.pending(), 0u);
}

TEST(ScriptedPrompts, CancelledInputKeepsTheValue)
{
    ScriptedPrompts prompts;
    prompts.PushInputCancel();
    std::string value = "offered";
    EXPECT_FALSE(prompts.Input("t", "p", value));
    EXPECT_EQ(value, "offered");
}

TEST(ScriptedPrompts, UnscriptedPromptFailsTheTest)
{
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompts prompts;
            prompts.Message("t", "surprise", Buttons::Ok);
        },
        "unexpected message box");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompts prompts;
            std::string value;
            prompts.Input("t", "surprise", value);
        },
        "unexpected input box");
}

TEST(ScriptedPrompts, AnswerThatTheBoxDoesNotOfferFails)
{
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompts prompts;
            prompts.Push(Answer::Yes);
            prompts.Message("t", "x", Buttons::OkCancel);
        },
        "not a button of the box");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompts prompts;
            prompts.PushInput("v");
            prompts.Message("t", "x", Buttons::Ok);
        },
        "expected an input box");
}

TEST(ScriptedPrompts, DefaultAnswersWhenTheScriptRunsOut)
{
    ScriptedPrompts prompts;
    prompts.SetDefaultAnswer(Answer::Yes);
    prompts.SetDefaultInput(true);
    EXPECT_EQ(prompts.Message("t", "a", Buttons::YesNo), Answer::Yes);
    // A default the box does not offer falls back to its last button.
    EXPECT_EQ(prompts.Message("t", "b", Buttons::AbortRetryIgnore), Answer::Ignore);
    std::string value = "kept";
    EXPECT_TRUE(prompts.Input("t", "p", value));
    EXPECT_EQ(value, "kept");
    EXPECT_EQ(prompts.shown().size(), 3u);
}

TEST(TempDir, RemovesEverythingItHolds)
{
    std::string root, locked;
    {
        TempDir dir;
        root = dir.path();
        EXPECT_EQ(root.rfind("/tmp/", 0), 0u);
        EXPECT_EQ(TempDir::ReadFile(dir.WriteFile("a/b/c.txt", std::string("x\0y", 3))),
                  std::string("x\0y", 3));
        locked = dir.MakeFolder("locked/inner");
        dir.WriteFile("locked/inner/f", "f");
        ASSERT_EQ(chmod(dir.Path("locked").c_str(), 0500), 0);
        ASSERT_EQ(symlink("/", dir.Path("rootlink").c_str()), 0);   // must not be followed
        EXPECT_TRUE(Exists(locked));
    }
    EXPECT_FALSE(Exists(root));
    EXPECT_TRUE(Exists("/tmp"));
}

TEST(TempDir, EachFolderIsUnique)
{
    TempDir a, b;
    EXPECT_NE(a.path(), b.path());
}

TEST(TempDir, SetsTheModificationTime)
{
    TempDir dir;
    const std::string path = dir.WriteFile("f", "1");
    TempDir::SetMtime(path, 1000000001);
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 1000000001);
}

}  // namespace
}  // namespace qv
