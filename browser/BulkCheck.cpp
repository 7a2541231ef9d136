#include "browser/BulkCheck.h"

#include "browser/PatternSearch.h"
#include "platform/NumberFormat.h"
#include "platform/Text.h"
#include "settings/Settings.h"

#include <algorithm>
#include <unordered_map>

namespace qv {
namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

struct Md5Key {
    uint64_t high = 0, low = 0;
    bool operator==(const Md5Key&) const = default;
};
struct Md5Hash {
    size_t operator()(const Md5Key& k) const { return MixBits(k.high ^ (k.low * 0xC2B2AE3D27D4EB4Full)); }
};
struct CrcHash {
    size_t operator()(uint32_t k) const { return MixBits(k); }
};

// Every place the rows' codes occur in the text, overlapping ones included. Codes in their
// usual form (8 or 32 hex digits) are found through a table of every 8- and 32-digit window
// of the text's hex runs; anything else by a plain search of its own.
class CodeOccurrences {
public:
    // The code's id (equal codes, letter case aside, share one); -1 for an empty code.
    int32_t Add(const std::string& code)
    {
        if (code.empty()) return -1;
        const std::string folded = AsciiLower(code);
        const auto [it, added] = ids_.emplace(folded, static_cast<int32_t>(lengths_.size()));
        if (!added) return it->second;
        lengths_.push_back(folded.size());
        Key key;
        if (folded.size() == 8 && ParseHex(folded, key)) crcs_.Insert(static_cast<uint32_t>(key.low), it->second);
        else if (folded.size() == 32 && ParseHex(folded, key)) md5s_.Insert(key, it->second);
        else others_.emplace_back(folded, it->second);
        return it->second;
    }

    void Collect(std::string_view folded)
    {
        at_.assign(lengths_.size(), {});
        Key window;
        size_t run = 0;
        for (size_t i = 0; i < folded.size(); ++i) {
            const int nibble = HexValue(folded[i]);
            if (nibble < 0) {
                run = 0;
                continue;
            }
            ++run;
            window.high = (window.high << 4) | (window.low >> 60);
            window.low = (window.low << 4) | static_cast<uint64_t>(nibble);
            if (run >= 8 && crcs_.Size()) Note(crcs_.Find(static_cast<uint32_t>(window.low)), i + 1 - 8);
            if (run >= 32 && md5s_.Size()) Note(md5s_.Find(window), i + 1 - 32);
        }
        for (const auto& [code, id] : others_)
            for (size_t p = folded.find(code); p != std::string_view::npos; p = folded.find(code, p + 1))
                at_[size_t(id)].push_back(p);
    }

    const std::vector<size_t>& At(int32_t id) const { return at_[size_t(id)]; }
    size_t Count() const { return lengths_.size(); }
    size_t LengthOf(int32_t id) const { return lengths_[size_t(id)]; }
    bool Found(int32_t id) const { return id >= 0 && !at_[size_t(id)].empty(); }
    // Whether the code lies wholly inside [begin, end).
    bool Within(int32_t id, size_t begin, size_t end) const
    {
        if (id < 0) return false;
        const std::vector<size_t>& at = at_[size_t(id)];
        const auto first = std::lower_bound(at.begin(), at.end(), begin);
        return first != at.end() && *first + lengths_[size_t(id)] <= end;
    }

private:
    using Key = Md5Key;
    static bool ParseHex(const std::string& text, Key& key)
    {
        key = {};
        for (const char c : text) {
            const int nibble = HexValue(c);
            if (nibble < 0) return false;
            key.high = (key.high << 4) | (key.low >> 60);
            key.low = (key.low << 4) | static_cast<uint64_t>(nibble);
        }
        return true;
    }
    void Note(int32_t id, size_t start)
    {
        if (id >= 0) at_[size_t(id)].push_back(start);
    }

    std::unordered_map<std::string, int32_t> ids_;
    std::vector<size_t> lengths_;
    FlatIdTable<uint32_t, CrcHash> crcs_;
    FlatIdTable<Md5Key, Md5Hash> md5s_;
    std::vector<std::pair<std::string, int32_t>> others_;
    std::vector<std::vector<size_t>> at_;
};

// The hits a search loop that goes on after each hit finds: from sorted, possibly
// overlapping starts, each first one at or after the end of the one taken before.
template <class Take>
void TakeInTurn(const std::vector<size_t>& starts, size_t length, Take&& take)
{
    size_t next = 0;
    for (const size_t s : starts) {
        if (s < next) continue;
        take(s);
        next = s + length;
    }
}

// The lines of the text: from after the break before a span to the first break after it.
class Lines {
public:
    explicit Lines(std::string_view text) : size_(text.size())
    {
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\r' || text[i] == '\n') breaks_.push_back(i);
    }
    TextRange Around(size_t start, size_t end) const
    {
        const auto before = std::lower_bound(breaks_.begin(), breaks_.end(), start);
        const size_t begin = before == breaks_.begin() ? 0 : *(before - 1) + 1;
        const auto after = std::lower_bound(before, breaks_.end(), end);
        return {begin, (after == breaks_.end() ? size_ : *after) - begin};
    }

private:
    size_t size_;
    std::vector<size_t> breaks_;
};

}  // namespace

BulkCheckOptions BulkCheckOptionsFrom(const Settings& s)
{
    return {s.CloseupFileName, s.CloseupMD5, s.CloseupCRC};
}

std::string BulkCheckStatus(int hashAndName, int crcOnly, int md5Only)
{
    return "一括チェック完了  Hash&Name[" + FormatGrouped(hashAndName) + "] CRC[" + FormatGrouped(crcOnly) +
           "] MD5[" + FormatGrouped(md5Only) + "]";
}

BulkCheckResult BulkCheck(const std::vector<FileRow>& rows, std::string_view text,
                          const BulkCheckOptions& options)
{
    const std::string folded = AsciiLower(text);

    // One pass for every name.
    PatternSet names;
    CodeOccurrences codes;
    struct RowKeys {
        int32_t name, crc, md5;
    };
    std::vector<RowKeys> keys;
    keys.reserve(rows.size());
    for (const FileRow& row : rows)
        keys.push_back({names.Add(AsciiLower(row.ShownName())), codes.Add(row.crc), codes.Add(row.md5)});
    names.Build();
    std::vector<std::vector<size_t>> nameHits(names.Count());
    std::vector<size_t> nameNext(names.Count(), 0);
    names.Scan(folded, [&](int32_t id, size_t end) {
        const size_t start = end - names.LengthOf(id);
        if (start < nameNext[size_t(id)]) return;
        nameHits[size_t(id)].push_back(start);
        nameNext[size_t(id)] = end;
    });

    // One pass for every code.
    codes.Collect(folded);

    const Lines lines(text);
    BulkCheckResult result;
    result.marks.reserve(rows.size());
    std::vector<TextRange> highlights;
    // Rows that share a name or a code share its marks; paint them once.
    std::vector<bool> namePainted(names.Count()), md5Painted(codes.Count()), crcPainted(codes.Count());
    const auto paint = [&](int32_t id, std::vector<bool>& painted) {
        if (id < 0 || painted[size_t(id)]) return;
        painted[size_t(id)] = true;
        const size_t length = codes.LengthOf(id);
        TakeInTurn(codes.At(id), length, [&](size_t s) { highlights.push_back({s, length}); });
    };
    const std::vector<size_t> none;
    for (const RowKeys& k : keys) {
        const std::vector<size_t>& hits = k.name >= 0 ? nameHits[size_t(k.name)] : none;
        const size_t nameLength = k.name >= 0 ? names.LengthOf(k.name) : 0;
        if (options.markNames && k.name >= 0 && !namePainted[size_t(k.name)]) {
            namePainted[size_t(k.name)] = true;
            for (const size_t s : hits) highlights.push_back({s, nameLength});
        }
        bool hashAndName = false;
        for (size_t i = 0; i < hits.size() && !hashAndName && (k.crc >= 0 || k.md5 >= 0); ++i) {
            const TextRange line = lines.Around(hits[i], hits[i] + nameLength);
            hashAndName = codes.Within(k.crc, line.start, line.start + line.length) ||
                          codes.Within(k.md5, line.start, line.start + line.length);
        }
        const bool md5Found = codes.Found(k.md5), crcFound = codes.Found(k.crc);
        if (options.markMd5) paint(k.md5, md5Painted);
        if (options.markCrc) paint(k.crc, crcPainted);

        ResultMark mark = ResultMark::Nothing;
        if (hashAndName) {
            mark = ResultMark::HashAndName;
            ++result.hashAndName;
        } else if (md5Found) {
            mark = ResultMark::Md5;
            ++result.md5Only;
        } else if (crcFound) {
            mark = ResultMark::Crc;
            ++result.crcOnly;
        } else if (!hits.empty()) {
            mark = ResultMark::NameOnly;
        }
        result.marks.push_back(mark);
    }
    result.highlights = MergeRanges(std::move(highlights));
    result.status = BulkCheckStatus(result.hashAndName, result.crcOnly, result.md5Only);
    result.sound = result.hashAndName + result.crcOnly + result.md5Only > 0 ? Notification::Match : Notification::Mismatch;
    return result;
}

}  // namespace qv
