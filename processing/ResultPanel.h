#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Version.h"

namespace qv {

// The texts the result panel shows; Qt-free so the rules are tested without a window.

// Size unit of the result panel, the value of the size-unit menu.
enum class SizeUnit { Auto = 0, Byte = 1, KB = 2, MB = 3 };

// "1,024byte", "1,024KB", "1MB", "4.7GB" ... as the size-unit setting asks. The size-unit
// command itself writes automatic byte counts with autoBytes "Byte".
std::string SizeText(int64_t size, int unit, const char* autoBytes = "byte");
inline constexpr const char* kUnitCommandBytes = "Byte";
// A stored code (upper case) as the panel shows it: lower-cased when lowerCase is set.
std::string CodeText(std::string_view code, bool lowerCase);

// Copy preconditions: a CRC text of exactly 8, an MD5 text of exactly 32 characters.
bool CopyableCrc(std::string_view shown);
bool CopyableMd5(std::string_view shown);

// Status and caption texts of the panel and its commands.
inline constexpr const char* kAppTitle = kProgramName;
inline constexpr const char* kIdleCaption = kProgramVersion;
inline constexpr const char* kStatusLoaded = "ファイルを読み込みました";
inline constexpr const char* kStatusLoadedDup = "ファイルを読み込みました（重複ファイル有り）";
inline constexpr const char* kStatusDropPlease = "ファイルをドロップしてください";
inline constexpr const char* kInitialComment = "ファイルをドロップして下さい";
inline constexpr const char* kStatusNoFile = "ファイルが読み込まれていません";

// The delete question for the shown file and the read-only question before it goes to the trash.
std::string DeleteQuestion(std::string_view path);
std::string ReadOnlyDeleteQuestion(std::string_view path);

}  // namespace qv
