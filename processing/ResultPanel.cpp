#include "processing/ResultPanel.h"

#include <cmath>

#include "platform/NumberFormat.h"
#include "platform/Text.h"

namespace qv {

namespace {
constexpr int64_t kKiB = 1024;
constexpr int64_t kMiB = 1048576;
constexpr int64_t kGiB = 1073741824;

std::string Scaled(int64_t size, int64_t unit, const char* suffix)
{
    // The quotient is held to four decimals first, so 1.04997 shows as 1.1 and not 1.
    const double quotient = std::round(static_cast<double>(size) / static_cast<double>(unit) * 10000.0) / 10000.0;
    return FormatNumber(quotient, "0,.#") + suffix;
}
}  // namespace

std::string SizeText(int64_t size, int unit, const char* autoBytes)
{
    switch (unit) {
    case static_cast<int>(SizeUnit::Byte): return FormatGrouped(size) + "byte";
    case static_cast<int>(SizeUnit::KB): return Scaled(size, kKiB, "KB");
    case static_cast<int>(SizeUnit::MB): return Scaled(size, kMiB, "MB");
    default: break;
    }
    // Automatic: the unit changes only above a whole unit, so 1 MiB still reads 1,024KB.
    if (size > kGiB) return Scaled(size, kGiB, "GB");
    if (size > kMiB) return Scaled(size, kMiB, "MB");
    if (size > kKiB) return Scaled(size, kKiB, "KB");
    return FormatGrouped(size) + autoBytes;
}

std::string CodeText(std::string_view code, bool lowerCase)
{
    return lowerCase ? AsciiLower(code) : std::string(code);
}

bool CopyableCrc(std::string_view shown) { return shown.size() == 8; }
bool CopyableMd5(std::string_view shown) { return shown.size() == 32; }

std::string DeleteQuestion(std::string_view path)
{
    return std::string(path) + "\rファイルを削除します\rよろしいですか";
}

std::string ReadOnlyDeleteQuestion(std::string_view path)
{
    return std::string(path) + "\r読み取り属性の設定されたファイルです\r削除してもよろしいですか？";
}

}  // namespace qv
