#include "platform/Attributes.h"

namespace qv {

bool SearchAdmits(uint32_t attributes, uint32_t mask)
{
    const uint32_t gated = kAttrHidden | kAttrSystem | kAttrDirectory;
    return (attributes & gated & ~mask) == 0;
}

bool IsRestricted(uint32_t attributes, uint32_t mask)
{
    return (attributes & (kAttrAny - (mask & kAttrAny))) != 0;
}

const char* AttributeLetters(uint32_t attributes, char out[7])
{
    static const char kLetters[] = "RHSVDA";
    static const uint32_t kBits[] = {kAttrReadOnly, kAttrHidden, kAttrSystem,
                                     kAttrVolume, kAttrDirectory, kAttrArchive};
    for (int i = 0; i < 6; ++i) out[i] = (attributes & kBits[i]) ? kLetters[i] : '-';
    out[6] = '\0';
    return out;
}

}  // namespace qv
