#include "listout/FormatDialog.h"

#include "platform/Text.h"

#include <algorithm>

namespace qv {
namespace {

constexpr std::string_view kEmptyQuoted = "\"\"";
const char* const kFullWidthDigits[] = {"１", "２", "３", "４", "５"};

int32_t Position(int32_t value, size_t itemCount)
{
    return value >= 0 && static_cast<size_t>(value) < itemCount ? value : -1;
}

bool EmptyOrEmptyQuoted(std::string_view text) { return text.empty() || text == kEmptyQuoted; }

std::string WithNumber(size_t number, std::string_view before, std::string_view after)
{
    std::string out(before);
    out += std::to_string(number);
    out += after;
    return out;
}

std::string MenuSafe(std::string_view name)
{
    std::string out;
    out.reserve(name.size());
    for (char c : name) {
        if (c == '&') out += '&';
        out += c;
    }
    return out;
}

}  // namespace

std::string QuotedForm(std::string_view text)
{
    std::string out(1, '"');
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

bool IsProperlyQuoted(std::string_view text)
{
    return text.size() >= 2 && text.front() == '"' && text.back() == '"' &&
           std::count(text.begin(), text.end(), '"') % 2 == 0;
}

std::string DecodeQuoted(std::string_view text)
{
    if (text == kEmptyQuoted) return {};
    std::string out;
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] != '"') {
            out += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '"') {
            out += '"';
            ++i;
        } else {
            break;
        }
    }
    if (out.empty()) out.assign(text);
    return CutToBytes(out, kListFormatTextBytes);
}

FormatForm LoadFormatForm(const ListFormat& f, size_t timestampCount)
{
    FormatForm form;
    form.name = QuotedForm(f.Name);
    form.header1 = QuotedForm(f.HeaderText1);
    form.header2 = QuotedForm(f.HeaderText2);
    form.pathHeader = f.PathHeader;
    form.tailBlankLine = f.TailBlankLine;
    // The extension shows without its first character: ".MD5" as MD5, ".*" as *.
    form.extension = f.Extension.empty() ? std::string() : f.Extension.substr(1);
    for (size_t i = 0; i < 5; ++i) {
        form.strings[i] = QuotedForm(f.Strings[i]);
        form.codes[i] = Position(f.Codes[i], i == 0 ? 3 : 6);
    }
    form.nameFormat = Position(f.NameFormat, 4);
    form.md5Format = Position(f.Md5Format, 2);
    form.crcFormat = Position(f.CrcFormat, 2);
    form.sizeFormat = Position(f.SizeFormat, 2);
    form.timeFormat = Position(f.TimeFormat, timestampCount);
    return form;
}

std::string LoadedMessage(size_t number) { return WithNumber(number, "", "番の設定を読み込みました"); }

StoreOutcome StoreFormatForm(const FormatForm& form, int selected, ListFormatTable& formats)
{
    if (selected < 0 || static_cast<size_t>(selected) >= formats.size())
        return {false, "設定選択が未選択状態です"};
    const std::pair<const std::string*, std::string> quoted[] = {
        {&form.name, "登録名"},
        {&form.header1, "ヘッダ第１文字列"},
        {&form.header2, "ヘッダ第２文字列"},
        {&form.strings[0], std::string("第") + kFullWidthDigits[0] + "文字列"},
        {&form.strings[1], std::string("第") + kFullWidthDigits[1] + "文字列"},
        {&form.strings[2], std::string("第") + kFullWidthDigits[2] + "文字列"},
        {&form.strings[3], std::string("第") + kFullWidthDigits[3] + "文字列"},
        {&form.strings[4], std::string("第") + kFullWidthDigits[4] + "文字列"},
    };
    for (const auto& [text, field] : quoted) {
        if (!IsProperlyQuoted(*text)) return {false, field + "の引用符が正しくありません"};
    }

    ListFormat& f = formats[static_cast<size_t>(selected)];
    f.Name = DecodeQuoted(form.name);
    f.HeaderText1 = DecodeQuoted(form.header1);
    f.HeaderText2 = DecodeQuoted(form.header2);
    f.PathHeader = form.pathHeader;
    f.Extension = form.extension == kEmptyQuoted
                      ? std::string(".*")
                      : CutToBytes(std::string(1, '.').append(AsciiUpper(form.extension)), kListFormatExtensionBytes);
    for (size_t i = 0; i < 5; ++i) {
        f.Strings[i] = DecodeQuoted(form.strings[i]);
        f.Codes[i] = form.codes[i];
    }
    f.NameFormat = form.nameFormat;
    f.Md5Format = form.md5Format;
    f.CrcFormat = form.crcFormat;
    f.SizeFormat = form.sizeFormat;
    f.TimeFormat = form.timeFormat;
    f.TailBlankLine = form.tailBlankLine;
    return {true, WithNumber(static_cast<size_t>(selected) + 1, "", "番の設定を書き換えました")};
}

std::string CheckCodes(FormatForm& form)
{
    // Codes 2 to 5 sit at positions 1 to 4, and string k+1 follows code k: a "無し" ends the
    // line after the string that follows it, so the codes and strings further on go.
    for (size_t k = 1; k <= 3; ++k) {
        if (form.codes[k] != kFieldNone) continue;
        form.codes[k + 1] = kFieldNone;
        if (k + 2 < 5) form.strings[k + 2] = std::string(kEmptyQuoted);
    }

    static const char* const kTwice[] = {
        "ファイル名が重複して選択されています", "ＭＤ５が重複して選択されています",
        "ＣＲＣが重複して選択されています", "ファイルサイズが重複して選択されています",
        "タイムスタンプが重複して選択されています"};
    for (int32_t code = kFieldFileName; code <= kFieldTimeStamp; ++code) {
        if (std::count(form.codes.begin(), form.codes.end(), code) > 1) return kTwice[code];
    }

    for (size_t k = 1; k < 5; ++k) {
        if (EmptyOrEmptyQuoted(form.strings[k]) && form.codes[k] != kFieldNone) {
            return std::string("第") + kFullWidthDigits[k - 1] + "コードと第" + kFullWidthDigits[k] +
                   "コードが離れていません";
        }
    }
    return {};
}

void PathHeaderChanged(FormatForm& form)
{
    if (!form.pathHeader) form.header2 = std::string(kEmptyQuoted);
}

std::string FormatListEntry(size_t number, std::string_view name)
{
    return WithNumber(number, "(", ")") + std::string(name);
}

std::string SelectionMenuCaption(size_t number, std::string_view name)
{
    return WithNumber(number, "(&", ")") + MenuSafe(name) + "...";
}

std::string TreeMenuCaption(size_t number, std::string_view name)
{
    return WithNumber(number, "リスト作成(&", ")-") + MenuSafe(name) + "...";
}

}  // namespace qv
