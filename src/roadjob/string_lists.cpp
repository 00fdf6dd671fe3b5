#include "roadjob/string_lists.h"

#include <cstring>

namespace itn {

namespace lists_detail {

uint32_t FoldedHash(std::string_view s) {
    // FNV-1a over the upper-cased bytes, finished with a mix so that the low bits spread.
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s) {
        h ^= FoldByte(c);
        h *= 1099511628211ull;
    }
    h ^= h >> 29;
    h *= 0xbf58476d1ce4e5b9ull;
    h ^= h >> 32;
    return static_cast<uint32_t>(h);
}

bool FoldedEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && FoldByte(a[i]) != FoldByte(b[i])) return false;
    }
    return true;
}

int FoldedCompare(std::string_view a, std::string_view b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const unsigned char ca = FoldByte(a[i]);
        const unsigned char cb = FoldByte(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace lists_detail

int32_t TPlainList::Add(std::string_view Text) {
    const int32_t position = Count();
    FItems.emplace_back(Text);
    FIndex.Add(Text, position);
    return position;
}

int32_t TPlainList::IndexOf(std::string_view Text) const {
    const int32_t* position = FIndex.Find(Text);
    return position ? *position : -1;
}

int32_t TPlainList::IndexOfOrAdd(std::string_view Text) {
    const int32_t position = IndexOf(Text);
    return position >= 0 ? position : Add(Text);
}

int32_t TPlainList::LongestLength() const {
    int32_t longest = 0;
    for (const std::string& item : FItems) longest = std::max(longest, Utf8Length(item));
    return longest;
}

int32_t Utf8Length(std::string_view s) {
    int32_t n = 0;
    for (unsigned char c : s) {
        if ((c & 0xC0) != 0x80) ++n;
    }
    return n;
}

}  // namespace itn
