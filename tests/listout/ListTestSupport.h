#pragma once
// Shared pieces of the list tests: the record of a file holding "abc", fixed times, the
// default styles, and a file-size limit that makes any write fail, even for root.

#include "history/HistoryRecord.h"
#include "listout/ListWriter.h"
#include "platform/DateTime.h"
#include "support/Processes.h"
#include "support/TestClock.h"

namespace qv::test {

inline const std::string kAbcMd5 = "900150983CD24FB0D6963F7D28E17F72";

inline HistoryRecord AbcRecord(int64_t size = 3)
{
    return HistoryRecord{size, At(2024, 1, 31, 9, 5, 7), 0.0, kAbcMd5, "352441C2"};
}

inline ListStyle DefaultStyle(size_t n) { return {DefaultListFormats()[n], DefaultTimestampFormats()}; }

using qv::FileSizeLimit;

}  // namespace qv::test
