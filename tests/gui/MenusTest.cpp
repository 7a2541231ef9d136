// History read and save modes in the menu: ticks follow the settings file, a click changes
// the setting, and the choice survives a restart.
#include "AppTestSupport.h"

#include <QAction>

#include "gui/shell/Menus.h"
#include "platform/Paths.h"

namespace qv {
namespace {

class HistoryModeMenuTest : public WindowTest {};

TEST_F(HistoryModeMenuTest, TicksFollowTheSettingAndAClickIsKeptAcrossARestart)
{
    MainWindow& w = Start();
    Menus& m = *w.menus;
    EXPECT_TRUE(m.logReadModes[0]->isChecked());   // defaults: read always, merge at exit
    EXPECT_FALSE(m.logReadModes[1]->isChecked());
    EXPECT_TRUE(m.logSaveModes[0]->isChecked());

    m.logReadModes[2]->trigger();
    m.logSaveModes[1]->trigger();
    EXPECT_EQ(w.settings.LogReadMode, 3);
    EXPECT_EQ(w.settings.LogSaveMode, 2);
    EXPECT_FALSE(m.logReadModes[0]->isChecked());
    CloseAndDestroy();

    const std::string ini = TempDir::ReadFile(JoinPath(Home(), "Quenvarlith.ini"));
    EXPECT_NE(ini.find("LogReadMode=3\r\n"), std::string::npos);
    EXPECT_NE(ini.find("LogSaveMode=2\r\n"), std::string::npos);

    MainWindow& again = Start();
    EXPECT_TRUE(again.menus->logReadModes[2]->isChecked());
    EXPECT_TRUE(again.menus->logSaveModes[1]->isChecked());
    EXPECT_FALSE(again.menus->logSaveModes[0]->isChecked());
}

}  // namespace
}  // namespace qv
