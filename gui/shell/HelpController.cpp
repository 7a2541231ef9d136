#include "gui/shell/HelpController.h"

#include <QDesktopServices>
#include <QUrl>

#include "gui/shell/QtPrompts.h"
#include "platform/DirSearch.h"
#include "platform/Prompts.h"
#include "platform/Version.h"

namespace qv {

std::string AboutText(const std::string& dataFolder)
{
    return std::string(kProgramVersion) +
           "\r\r"
           "V1.08D の内容\r"
           "・CRC-32 と MD5 を一度の読み取りで算出し、ハッシュ履歴に記録します\r"
           "・チェックサム一覧 (SFV, MD5, CSV, テキスト, HTML)、クリップボード、\r"
           "　PAR/PAR2 ファイルの解析結果と照合します\r"
           "・リスト書式 1～5 のチェックサム一覧を作成します\r"
           "・ウインドウなしのターミナルモード (--no-gui) で算出・照合・一覧作成ができます\r"
           "\r"
           "Qt " +
           std::string(qVersion()) + "\rデータフォルダ\t" + dataFolder;
}

void HelpController::HelpCallClick()
{
    // A missing manual would otherwise leave the browser showing an error page of its own.
    if (!FileExists(p_.manualFile)) {
        p_.prompts.Message("Quenvarlith", "ヘルプファイルが見つかりません\r" + p_.manualFile, Buttons::Ok,
                           BoxIcon::Error);
        return;
    }
    Open(QUrl::fromLocalFile(ToQ(p_.manualFile)), "ヘルプ");
}

void HelpController::HomePageCallClick()
{
    if (HasHomePage()) Open(QUrl(ToQ(p_.homePage)), "ホームページ");
}

void HelpController::About1Click()
{
    p_.frame.BringToFront();
    p_.prompts.Message("Quenvarlith", AboutText(p_.dataFolder), Buttons::Ok);
}

void HelpController::Open(const QUrl& url, const std::string& what)
{
    // False when the desktop has no program for the address: say so rather than stay silent.
    if (!QDesktopServices::openUrl(url))
        p_.prompts.Message("Quenvarlith", what + "を開けませんでした\r" + FromQ(url.toDisplayString()), Buttons::Ok,
                           BoxIcon::Error);
}

}  // namespace qv
