// The look-and-engine preferences as a person uses them: each menu item changes its setting,
// says so in the status line and shows on screen at once, and the choices survive a restart.
#include "BrowserSupport.h"

#include <QTreeWidget>
#include <QWindow>

#include <cmath>
#include <map>
#include <optional>

#include "job/FileJob.h"

namespace qv {
namespace {

class PreferencesTest : public BrowserTest {
protected:
    // x/abc.bin and y/abc.bin hashed, y shown with x as its duplicate.
    void ShowTwins()
    {
        const std::string x = dir.WriteFile("x/abc.bin", "abc");
        StartAndDrop({x, dir.WriteFile("y/abc.bin", "abc")});
        ASSERT_TRUE(S().folders.SelectFolder(dir.Path("x")));
    }
    QTreeWidget* DupList() const { return Find<QTreeWidget>("DupList"); }
    QColor PaletteColour(const char* widget, QPalette::ColorRole role) const
    {
        return Find<QWidget>(widget)->palette().color(role);
    }
    int Opacity() const { return static_cast<int>(std::lround(window->windowOpacity() * 255)); }
    bool OnTop() const
    {
        return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) &&
               window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
    }
    int X(const char* widget) const { return Find<QWidget>(widget)->x(); }
};

TEST_F(PreferencesTest, TogglesFlipTheirSettingSayItAndShowIt)
{
    ShowTwins();
    QImage plainDupList;
    // Each toggle is watched in the view it changes.
    const struct {
        const char* view;
        const char* item;
        bool Settings::*setting;
        const char* on;
        const char* off;
        std::function<bool()> shown;
    } toggles[] = {
        {"CallBasicFrame", "StayOnTop", &Settings::StayOnTop, "「常に手前に表示」を有効にしました",
         "「常に手前に表示」を無効にしました", [&] { return OnTop(); }},
        {"CallBasicFrame", "CapsSet", &Settings::LowerCaseCodes, "ハッシュコードの16進英文字は[小文字]で表示されます",
         "ハッシュコードの16進英文字は[大文字]で表示されます", [&] { return Text("XCRC_32") == "352441c2"; }},
        {"CallBasicFrame", "ShowMainIcon", &Settings::ShowMainIcon, "基本画面にアイコンを表示します",
         "基本画面にアイコンを表示しません", [&] { return Shown("FileIcon"); }},
        {"CallListFrame", "FileListIconView", &Settings::FileListIconView, "処理ファイル一覧にアイコンを表示します",
         "処理ファイル一覧にアイコンを表示しません",
         [&] { return !View()->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull(); }},
        {"CallListFrame", "FileListBoldFont", &Settings::FileListBoldFont, "処理ファイル一覧の文字は太線で表示します",
         "処理ファイル一覧の文字は細線で表示します",
         [&] { return View()->font().bold() && Find<QWidget>("FolderList")->font().bold(); }},
        {"CallListFrame", "FileListBorderView", &Settings::FileListBorderView, "処理ファイル一覧に罫線を表示します",
         "処理ファイル一覧に罫線を表示しません", [&] { return View()->showGrid(); }},
        {"CallDupFrame", "DupListIconView", &Settings::DupListIconView, "重複ファイル一覧にアイコンを表示します",
         "重複ファイル一覧にアイコンを表示しません", [&] { return !DupList()->topLevelItem(0)->icon(0).isNull(); }},
        {"CallDupFrame", "DupListBoldFont", &Settings::DupListBoldFont, "重複ファイル一覧の文字は太線で表示します",
         "重複ファイル一覧の文字は細線で表示します", [&] { return DupList()->font().bold(); }},
        // Grid lines are only seen: the list as drawn differs from the list drawn without them.
        {"CallDupFrame", "DupListBorderView", &Settings::DupListBorderView, "重複ファイル一覧に罫線を表示します",
         "重複ファイル一覧に罫線を表示しません", [&] {
             const QImage now = DupList()->viewport()->grab().toImage();
             if (plainDupList.isNull()) plainDupList = now;
             return now != plainDupList;
         }},
    };
    for (const auto& t : toggles) {
        Trigger(t.view);
        for (int flip = 0; flip < 2; ++flip) {
            const bool before = S().settings.*t.setting;
            EXPECT_EQ(t.shown(), before) << t.item;
            Trigger(t.item);
            EXPECT_EQ(S().settings.*t.setting, !before) << t.item;
            EXPECT_EQ(Action(t.item)->isChecked(), !before) << t.item;
            EXPECT_EQ(Status(), before ? t.off : t.on) << t.item;
            EXPECT_EQ(t.shown(), !before) << t.item;
        }
    }
}

TEST_F(PreferencesTest, HiddenIconMovesTheSizeAndCodeRowsLeftBy44Pixels)
{
    ShowTwins();
    // The caption column starts beside the icon's slot, or at the margin without it.
    const auto captionsAt = [&](int slot) { return WaitFor([&] { return X("LFileSize") == X("LFileName") + slot; }); };
    ASSERT_TRUE(captionsAt(44));
    const std::array<int, 3> shown{X("XFileSize"), X("LCRC_32"), X("XCRC_32")};
    Trigger("ShowMainIcon");
    ASSERT_TRUE(captionsAt(0));
    EXPECT_EQ((std::array<int, 3>{X("XFileSize"), X("LCRC_32"), X("XCRC_32")}),
              (std::array<int, 3>{shown[0] - 44, shown[1] - 44, shown[2] - 44}));
}

TEST_F(PreferencesTest, RadioItemsTakeTheirValueAndShowIt)
{
    ShowTwins();
    const auto opacity = [&] { return std::to_string(Opacity()); };
    const auto nameFont = [&] { return std::to_string(Find<QWidget>("XFileName")->font().pointSize()); };
    const auto size = [&] { return Text("XFileSize"); };
    const struct {
        const char* item;
        int Settings::*setting;
        int value;
        const char* status;
        std::function<std::string()> shown;
        std::string expected;
    } radios[] = {
        {"Skeleton3", &Settings::Opacity, 96, "透過設定 = 超薄", opacity, "96"},
        {"Skeleton4", &Settings::Opacity, 64, "透過設定 = 極薄", opacity, "64"},
        {"FileNameFont9", &Settings::FileNameFontSize, 9, "ファイル名フォントを9ポに変更しました", nameFont, "9"},
        {"FileNameFont14", &Settings::FileNameFontSize, 14, "ファイル名フォントを14ポに変更しました", nameFont, "14"},
        {"SizeKB", &Settings::SizeUnit, 2, "ファイルサイズ単位 = KB固定", size, "0KB"},
        {"SizeMB", &Settings::SizeUnit, 3, "ファイルサイズ単位 = MB固定", size, "0MB"},
        {"SizeByte", &Settings::SizeUnit, 1, "ファイルサイズ単位 = byte固定", size, "3byte"},
        // The unit command writes automatic byte counts with a capital B.
        {"SizeAuto", &Settings::SizeUnit, 0, "ファイルサイズ単位 = 自動", size, "3Byte"},
    };
    for (const auto& r : radios) {
        Trigger(r.item);
        EXPECT_EQ(S().settings.*r.setting, r.value) << r.item;
        EXPECT_TRUE(Action(r.item)->isChecked()) << r.item;
        EXPECT_EQ(Status(), r.status) << r.item;
        EXPECT_EQ(r.shown(), r.expected) << r.item;
    }
    // A translucent window is repainted on a double click on the status line; an opaque one
    // has no blending and nothing to repaint.
    DoubleClick("Status");
    EXPECT_EQ(Status(), "ウインドウを再描画しました");
    EXPECT_TRUE(window->isVisible());
    Trigger("Skeleton0");
    EXPECT_EQ(Status(), "透過設定 = 透過なし");
    EXPECT_EQ(window->windowOpacity(), 1.0);
    DoubleClick("Status");
    EXPECT_EQ(Status(), "透過設定 = 透過なし");
}

TEST_F(PreferencesTest, EngineBoxesKeepTheirRangesAndReachTheEngine)
{
    Start();
    const struct {
        const char* item;
        std::optional<std::string> entry;   // nullopt: cancelled
        int expected;
        const char* status;
    } boxes[] = {
        {"RefreshRate", "250", 800, "算出時の画面更新頻度 0.8秒"},
        {"RefreshRate", " 1250 ", 1250, "算出時の画面更新頻度 1.25秒"},
        {"InputTimeOut", "30000", 30000, "タイムアウト時間 30秒"},
        {"InputTimeOut", std::nullopt, 30000, "タイムアウト時間 30秒"},
        {"InputRetry", "0", 0, "リトライ回数 0回"},
        {"InputRetry", "abc", 0, "リトライ回数 0回"},
    };
    const EngineSettings& engine = S().job.engineSettings();
    const std::map<std::string, const int*> reached = {
        {"RefreshRate", &engine.refreshRate}, {"InputTimeOut", &engine.ioTimeOut}, {"InputRetry", &engine.ioRetryOut}};
    for (const auto& b : boxes) {
        const int offered = *reached.at(b.item);
        b.entry ? prompts.PushInput(*b.entry) : prompts.PushInputCancel();
        Trigger(b.item);
        EXPECT_EQ(prompts.shown().back().inputDefault, std::to_string(offered)) << b.item;
        EXPECT_EQ(*reached.at(b.item), b.expected) << b.item << " " << b.entry.value_or("cancel");
        EXPECT_EQ(Status(), b.status) << b.item;
    }
    EXPECT_EQ(prompts.shown().back().text, "再試行回数を入力\r入力可能範囲0～15");
}

TEST_F(PreferencesTest, ColourItemsApplyTheWholeSchemeAndKeepTheHighlightedCode)
{
    const std::string f = dir.WriteFile("in/abc.bin", "abc");
    StartAndDrop({f});
    QGuiApplication::clipboard()->setText(QStringLiteral("abc.bin 352441C2"));   // the CRC, not the MD5
    ASSERT_TRUE(WaitFor([&] { return Status() == "ＣＲＣが一致しました"; }));
    ShowFolder(dir.Path("in"));
    Trigger("AllCheck");
    ASSERT_EQ(ShownMarks(), std::vector<int>{0});

    const Colour green = MakeColour(0, 200, 0), grey = MakeColour(90, 90, 90);
    dialogs.colourAnswers = {green, grey};
    Trigger("PICKUP_COLOR");
    Trigger("NORMAL_COLOR");
    EXPECT_EQ(PaletteColour("XCRC_32", QPalette::WindowText), ToQColor(green));
    EXPECT_EQ(PaletteColour("XMD5", QPalette::WindowText), ToQColor(grey));
    EXPECT_EQ(PaletteColour("DuplicateMark", QPalette::WindowText), ToQColor(green));
    EXPECT_EQ(ViewerMarks().size(), 2u);   // each checked to carry the new pickup colour

    const struct {
        const char* item;
        Colour Settings::*setting;
        const char* widget;
        QPalette::ColorRole role;
    } scheme[] = {
        {"WALL_COLOR", &Settings::WallColor, "MainPanel", QPalette::Window},
        {"ITEM_COLOR", &Settings::ItemColor, "LCRC_32", QPalette::WindowText},
        {"VIEW_COLOR", &Settings::ViewColor, "ClipViewer", QPalette::Base},
        {"VIEW_FONT", &Settings::ViewFontColor, "ClipViewer", QPalette::Text},
        {"LIST_COLOR", &Settings::ListColor, "FileView", QPalette::Base},
        {"LIST_FONT", &Settings::ListFontColor, "FolderList", QPalette::Text},
        {"DUP_COLOR", &Settings::DupColor, "DupList", QPalette::Base},
        {"DUP_FONT", &Settings::DupFontColor, "DupList", QPalette::Text},
    };
    int shade = 10;
    for (const auto& s : scheme) {
        const Colour before = S().settings.*s.setting, chosen = MakeColour(shade += 20, 100, 128);
        S().status.SetStatus("before");
        dialogs.colourAnswers.push_back(chosen);
        Trigger(s.item);
        EXPECT_EQ(dialogs.colourStarts.back(), before) << s.item;
        EXPECT_EQ(PaletteColour(s.widget, s.role), ToQColor(chosen)) << s.item;
        // Only the viewer's text colour runs the matching pass again.
        EXPECT_EQ(Status(), std::string(s.item) == "VIEW_FONT" ? "ＣＲＣが一致しました" : "before") << s.item;
        EXPECT_EQ(ShownMarks(), std::vector<int>{0}) << s.item;   // the marks follow the list's colours
    }
    const Settings kept = S().settings;
    Trigger("WALL_COLOR");   // cancelled
    EXPECT_EQ(S().settings, kept);
}

TEST_F(PreferencesTest, ChoicesSurviveARestart)
{
    Start();
    const char* const items[] = {"StayOnTop", "Skeleton1", "SizeMB", "FileNameFont9",
                                 "NoCache", "NonRead", "LogRenameSave"};
    for (const char* item : items) Trigger(item);
    dialogs.colourAnswers.push_back(MakeColour(1, 2, 3));
    Trigger("DUP_FONT");
    prompts.PushInput("2000").PushInput("700").PushInput("9");
    for (const char* box : {"RefreshRate", "InputTimeOut", "InputRetry"}) Trigger(box);
    CloseAndDestroy();

    Start();
    for (const char* item : items) EXPECT_TRUE(Action(item)->isChecked()) << item;
    EXPECT_FALSE(Action("EvryRead")->isChecked() || Action("LogMergeSave")->isChecked());
    EXPECT_EQ((std::array<int, 2>{S().settings.LogReadMode, S().settings.LogSaveMode}), (std::array<int, 2>{3, 2}));
    EXPECT_TRUE(OnTop());
    EXPECT_EQ(Opacity(), 192);
    EXPECT_EQ(PaletteColour("DupList", QPalette::Text), ToQColor(MakeColour(1, 2, 3)));
    const EngineSettings& e = S().job.engineSettings();
    EXPECT_EQ((std::array<int, 4>{e.refreshRate, e.ioTimeOut, e.ioRetryOut, e.noCache}),
              (std::array<int, 4>{2000, 700, 9, 1}));
}

}  // namespace
}  // namespace qv
