#include "listout/FormatDialog.h"

#include <gtest/gtest.h>

#include <string>

namespace qv {
namespace {

TEST(FormatDialog, QuotedEditsAreCheckedAndDecoded)
{
    const struct { const char *entered, *stored; } cases[] = {   // stored nullptr: rejected
        {R"("a""b")", R"(a"b)"}, {R"("x" "y")", "x"}, {R"("")", ""}, {R"(" lead ")", " lead "},
        {R"("" "a")", R"("" "a")"},   // nothing decoded: the edit is taken whole
        {R"("a"b")", nullptr}, {"abc", nullptr}, {"", nullptr}, {"\"", nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsProperlyQuoted(c.entered), c.stored != nullptr) << c.entered;
        if (c.stored) { EXPECT_EQ(DecodeQuoted(c.entered), c.stored) << c.entered; }
    }
    for (const std::string text : {"", R"(a"b)", R"("")", "見出し"}) EXPECT_EQ(DecodeQuoted(QuotedForm(text)), text);
    EXPECT_EQ(DecodeQuoted(QuotedForm(std::string(62, 'x') + "あ")), std::string(62, 'x'));   // 64 bytes, whole characters
}

TEST(FormatDialog, LoadAndStore)
{
    ListFormatTable formats = DefaultListFormats();
    for (int n = 0; n < 5; ++n)
        EXPECT_EQ(StoreFormatForm(LoadFormatForm(formats[n], 1), n, formats).message,
                  std::to_string(n + 1) + "番の設定を書き換えました");
    EXPECT_EQ(formats, DefaultListFormats());
    EXPECT_EQ(LoadFormatForm(formats[0], 1).extension, "MD5");

    ListFormat odd = formats[0];   // positions outside a control's list select nothing
    odd.Codes = {kFieldFileSize, 6, kFieldNone, -1, kFieldTimeStamp};
    EXPECT_EQ(LoadFormatForm(odd, 0).codes, (std::array<int32_t, 5>{-1, -1, kFieldNone, -1, kFieldTimeStamp}));
    EXPECT_EQ(LoadFormatForm(odd, 0).timeFormat, -1);

    const FormatForm good = LoadFormatForm(formats[2], 1);
    EXPECT_EQ(StoreFormatForm(good, -1, formats).message, "設定選択が未選択状態です");
    const char* const fields[] = {"登録名", "ヘッダ第１文字列", "ヘッダ第２文字列", "第１文字列",
                                  "第２文字列", "第３文字列", "第４文字列", "第５文字列"};
    for (int i = 0; i < 8; ++i) {
        FormatForm bad = good;
        std::string* texts[] = {&bad.name, &bad.header1, &bad.header2, &bad.strings[0],
                                &bad.strings[1], &bad.strings[2], &bad.strings[3], &bad.strings[4]};
        texts[i]->clear();
        if (i < 7) texts[i + 1]->assign(1, 'x');   // a later bad field does not speak first
        EXPECT_EQ(StoreFormatForm(bad, 2, formats).message, std::string(fields[i]) + "の引用符が正しくありません");
    }
    EXPECT_EQ(formats, DefaultListFormats());

    const std::pair<const char*, const char*> extensions[] = {
        {"md5", ".MD5"}, {R"("")", ".*"}, {"", "."}, {"*", ".*"}, {"sfv.long", ".SFV.LON"}, {"あa", ".あA"}};
    for (const auto& [typed, stored] : extensions) {
        FormatForm form = good;
        form.extension = typed;
        form.name = R"("")";
        ASSERT_TRUE(StoreFormatForm(form, 2, formats).stored);
        EXPECT_EQ(formats[2].Extension, stored) << typed;
    }
    EXPECT_EQ(FormatListEntry(3, formats[2].Name), "(3)");
    EXPECT_EQ(SelectionMenuCaption(3, formats[2].Name), "(&3)...");
    EXPECT_EQ(TreeMenuCaption(1, "A&B"), "リスト作成(&1)-A&&B...");
}

TEST(FormatDialog, CheckCodesChainsNothingAndWarns)
{
    using Codes = std::array<int32_t, 5>;
    using Texts = std::array<std::string, 5>;
    const int32_t F = kFieldFileName, M = kFieldMd5, C = kFieldCrc, S = kFieldFileSize, N = kFieldNone;
    const std::string E = R"("")", B = R"(" ")";   // empty and blank in quoted form
    const struct { Codes codes; Texts strings; const char* warning; Codes codesAfter; Texts stringsAfter; } cases[] = {
        {{M, F, N, N, N}, {"", B, "", "", ""}, "", {M, F, N, N, N}, {"", B, "", "", E}},
        {{M, F, M, N, N}, {"", B, B, "", ""}, "ＭＤ５が重複して選択されています", {M, F, M, N, N}, {"", B, B, "", ""}},
        {{M, F, C, N, N}, {"", E, B, "", ""}, "第１コードと第２コードが離れていません", {M, F, C, N, N}, {"", E, B, "", ""}},
        {{M, F, C, S, N}, {"", "a", "b", "", "e"}, "第３コードと第４コードが離れていません", {M, F, C, S, N}, {"", "a", "b", "", "e"}},
        {{M, N, C, S, kFieldTimeStamp}, {"", "a", "b", "c", "d"}, "", {M, N, N, N, N}, {"", "a", "b", E, E}},
        {{M, F, N, C, S}, {"", "a", "b", "c", "d"}, "", {M, F, N, N, N}, {"", "a", "b", "c", E}},
    };
    for (const auto& c : cases) {
        FormatForm form;
        form.codes = c.codes, form.strings = c.strings;
        EXPECT_EQ(CheckCodes(form), c.warning);
        EXPECT_EQ(std::pair(form.codes, form.strings), std::pair(c.codesAfter, c.stringsAfter)) << c.warning;
    }
}

}  // namespace
}  // namespace qv
