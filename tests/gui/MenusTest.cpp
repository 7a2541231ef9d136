// History read and save modes in the menu: ticks follow the settings file, a click changes
// the setting, and the choice survives a restart.
#include "AppTestSupport.h"

#include <QAction>

#include "platform/Paths.h"

namespace qv {
namespace {

class HistoryModeMenuTest : public WindowTest {};

TEST_F(HistoryModeMenuTest, TicksFollowTheSettingAndAClickIsKeptAcrossARestart)
{
    Start();
    EXPECT_TRUE(Action("EvryRead")->isChecked());   // defaults: read always, merge at exit
    EXPECT_FALSE(Action("NormalRead")->isChecked());
    EXPECT_TRUE(Action("LogMergeSave")->isChecked());

    Trigger("NonRead");
    Trigger("LogRenameSave");
    EXPECT_EQ(S().settings.LogReadMode, 3);
    EXPECT_EQ(S().settings.LogSaveMode, 2);
    EXPECT_FALSE(Action("EvryRead")->isChecked());
    CloseAndDestroy();

    const std::string ini = TempDir::ReadFile(JoinPath(Home(), "Quenvarlith.ini"));
    EXPECT_NE(ini.find("LogReadMode=3\r\n"), std::string::npos);
    EXPECT_NE(ini.find("LogSaveMode=2\r\n"), std::string::npos);

    Start();
    EXPECT_TRUE(Action("NonRead")->isChecked());
    EXPECT_TRUE(Action("LogRenameSave")->isChecked());
    EXPECT_FALSE(Action("LogMergeSave")->isChecked());
}

}  // namespace
}  // namespace qv
