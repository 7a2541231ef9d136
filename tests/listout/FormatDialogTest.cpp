#include "listout/FormatDialog.h"
#include "settings/ListFormat.h"

#include <gtest/gtest.h>

#include <string>

namespace qv {
namespace {

TEST(FormatDialog, QuotedEditsAreCheckedAndDecoded)
{
    const struct {
        const char* entered;
        bool accepted;
        const char* stored;
    } cases[] = {
        {R"("a""b")", true, R"(a"b)"},
        {R"("x" "y")", true, "x"},        // only the first quoted word
        {R"("")", true, ""},
        {R"("" "a")", true, R"("" "a")"},   // nothing decoded: the edit is taken whole
        {R"(" lead ")", true, " lead "},
        {R"("a"b")", false, ""},          // three quotes
        {"abc", false, ""},
        {"", false, ""},
        {"\"", false, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsProperlyQuoted(c.entered), c.accepted) << c.entered;
        if (c.accepted) {
            EXPECT_EQ(DecodeQuoted(c.entered), c.stored) << c.entered;
        }
    }
    for (const std::string text : {"", R"(a"b)", R"("")", " * ", "見出し"})
        EXPECT_EQ(DecodeQuoted(QuotedForm(text)), text);
    EXPECT_EQ(QuotedForm(""), R"("")");
    EXPECT_EQ(DecodeQuoted(QuotedForm(std::string(62, 'x') + "あ")), std::string(62, 'x'));   // 64 bytes, whole characters
}

TEST(FormatDialog, LoadThenStoreKeepsEveryDefaultFormat)
{
    ListFormatTable formats = DefaultListFormats();
    for (int n = 0; n < 5; ++n) {
        const FormatForm form = LoadFormatForm(formats[n], 1);
        const StoreOutcome outcome = StoreFormatForm(form, n, formats);
        EXPECT_TRUE(outcome.stored);
        EXPECT_EQ(outcome.message, std::to_string(n + 1) + "番の設定を書き換えました");
    }
    EXPECT_EQ(formats, DefaultListFormats());
    const FormatForm first = LoadFormatForm(formats[0], 1);
    EXPECT_EQ(first.name, R"("MD5 FileName")");
    EXPECT_EQ(first.extension, "MD5");
    EXPECT_EQ(LoadedMessage(2), "2番の設定を読み込みました");

    // Positions outside a control's list select nothing.
    ListFormat odd = formats[0];
    odd.Codes = {kFieldFileSize, 6, kFieldNone, -1, kFieldTimeStamp};
    odd.NameFormat = 4;
    odd.TimeFormat = 1;
    const FormatForm form = LoadFormatForm(odd, 1);
    EXPECT_EQ(form.codes, (std::array<int32_t, 5>{-1, -1, kFieldNone, -1, kFieldTimeStamp}));
    EXPECT_EQ(form.nameFormat, -1);
    EXPECT_EQ(form.timeFormat, -1);
}

TEST(FormatDialog, StoreRefusesTheFirstBadFieldAndTakesTheExtensionAsTyped)
{
    ListFormatTable formats = DefaultListFormats();
    const FormatForm good = LoadFormatForm(formats[2], 1);
    EXPECT_EQ(StoreFormatForm(good, -1, formats).message, "設定選択が未選択状態です");
    const char* const messages[] = {"登録名", "ヘッダ第１文字列", "ヘッダ第２文字列", "第１文字列",
                                    "第２文字列", "第３文字列", "第４文字列", "第５文字列"};
    for (int field = 0; field < 8; ++field) {
        FormatForm bad = good;
        std::string* texts[] = {&bad.name, &bad.header1, &bad.header2, &bad.strings[0],
                                &bad.strings[1], &bad.strings[2], &bad.strings[3], &bad.strings[4]};
        *texts[field] = "";
        if (field + 1 < 8) texts[field + 1]->assign(1, 'x');   // a later bad field does not speak first
        const StoreOutcome outcome = StoreFormatForm(bad, 2, formats);
        EXPECT_FALSE(outcome.stored);
        EXPECT_EQ(outcome.message, std::string(messages[field]) + "の引用符が正しくありません");
    }
    EXPECT_EQ(formats, DefaultListFormats());

    const struct {
        const char* typed;
        const char* stored;
    } extensions[] = {{"md5", ".MD5"}, {R"("")", ".*"}, {"", "."}, {"*", ".*"}, {"sfv.long", ".SFV.LON"},
                      {"あa", ".あA"}};
    for (const auto& e : extensions) {
        FormatForm form = good;
        form.extension = e.typed;
        form.name = R"("")";
        ASSERT_TRUE(StoreFormatForm(form, 2, formats).stored);
        EXPECT_EQ(formats[2].Extension, e.stored) << e.typed;
    }
    EXPECT_EQ(FormatListEntry(3, formats[2].Name), "(3)");
    EXPECT_EQ(SelectionMenuCaption(3, formats[2].Name), "(&3)...");
    EXPECT_EQ(TreeMenuCaption(1, "A&B"), "リスト作成(&1)-A&&B...");
}

TEST(FormatDialog, CheckCodesChainsNothingAndWarns)
{
    FormatForm form = LoadFormatForm(DefaultListFormats()[0], 1);   // MD5, " ", FileName
    EXPECT_EQ(CheckCodes(form), "");
    form.codes[2] = kFieldMd5;
    form.strings[2] = R"(" ")";
    EXPECT_EQ(CheckCodes(form), "ＭＤ５が重複して選択されています");
    form.codes[2] = kFieldCrc;
    form.strings[1] = R"("")";
    EXPECT_EQ(CheckCodes(form), "第１コードと第２コードが離れていません");
    form.strings[1] = R"(" ")";
    form.strings[3] = "";
    form.codes[3] = kFieldFileSize;
    EXPECT_EQ(CheckCodes(form), "第３コードと第４コードが離れていません");

    form.codes = {kFieldMd5, kFieldNone, kFieldCrc, kFieldFileSize, kFieldTimeStamp};
    form.strings = {R"("")", R"("a")", R"("b")", R"("c")", R"("d")"};
    EXPECT_EQ(CheckCodes(form), "");
    EXPECT_EQ(form.codes, (std::array<int32_t, 5>{kFieldMd5, kFieldNone, kFieldNone, kFieldNone, kFieldNone}));
    EXPECT_EQ(form.strings, (std::array<std::string, 5>{R"("")", R"("a")", R"("b")", R"("")", R"("")"}));

    form.codes = {kFieldMd5, kFieldFileName, kFieldNone, kFieldCrc, kFieldFileSize};
    form.strings = {R"("")", R"(" ")", R"("b")", R"("c")", R"("d")"};
    EXPECT_EQ(CheckCodes(form), "");
    EXPECT_EQ(form.codes[4], kFieldNone);
    EXPECT_EQ(form.strings[4], R"("")");

    form.header2 = R"("x")";
    form.pathHeader = true;
    PathHeaderChanged(form);
    EXPECT_EQ(form.header2, R"("x")");
    form.pathHeader = false;
    PathHeaderChanged(form);
    EXPECT_EQ(form.header2, R"("")");
}

}  // namespace
}  // namespace qv
