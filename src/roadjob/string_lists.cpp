#include "roadjob/string_lists.h"

#include <cstring>

namespace itn {

namespace lists_detail {

uint32_t FoldedHash(std::string_view s) {
    // Eight bytes at a time with bit 0x20 set in each: upper and lower case letters hash
    // alike (other bytes may collide too, which only costs a comparison).
    constexpr uint64_t kFold = 0x2020202020202020ull;
    constexpr uint64_t kMul = 0x9E3779B97F4A7C15ull;
    uint64_t h = s.size() * kMul;
    size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        uint64_t w;
        std::memcpy(&w, s.data() + i, 8);
        h = (h ^ (w | kFold)) * kMul;
        h ^= h >> 29;
    }
    uint64_t tail = 0;
    for (size_t k = 0; i < s.size(); ++i, ++k) tail |= static_cast<uint64_t>(static_cast<unsigned char>(s[i]) | 0x20) << (8 * k);
    h = (h ^ tail) * kMul;
    h ^= h >> 32;
    h *= 0xbf58476d1ce4e5b9ull;
    h ^= h >> 29;
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
