#pragma once
#include <cstdint>

namespace qv {

// File attribute bits as the settings and lists store them; DirSearch.cpp maps Linux files onto them.
enum : uint32_t {
    kAttrReadOnly = 1,
    kAttrHidden = 2,
    kAttrSystem = 4,
    kAttrVolume = 8,
    kAttrDirectory = 16,
    kAttrArchive = 32,
    kAttrAny = 63,
};

// Directory-search semantics: entries with the hidden, system or directory attribute are
// returned only when the mask holds that attribute (read-only never excludes).
bool SearchAdmits(uint32_t attributes, uint32_t mask);

// Restriction rule of the folder walks: rejected when attributes AND (63 - mask) is not 0.
bool IsRestricted(uint32_t attributes, uint32_t mask);

// "RHSVDA" letters with '-' for a missing attribute, e.g. "-----A".
// Order as shown by the file view: R H S V D A.
// (Kept here so every list shows attributes the same way.)
const char* AttributeLetters(uint32_t attributes, char out[7]);

}  // namespace qv
