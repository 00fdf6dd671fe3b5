// Keyed text lists of the road job. Keys compare without regard to ASCII letter case and the
// first addition of a key wins; look-ups go through a hash table, and the entries can be
// visited in ascending key order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace itn {

namespace lists_detail {

// ASCII upper case; other bytes (UTF-8 included) unchanged.
inline unsigned char FoldByte(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

uint32_t FoldedHash(std::string_view s);
bool FoldedEqual(std::string_view a, std::string_view b);
// <0, 0, >0 like strcmp, on the upper-cased bytes.
int FoldedCompare(std::string_view a, std::string_view b);

}  // namespace lists_detail

// The hash table holds the hash and the entry number, so a probe touches an entry only when
// the hashes match; an entry holds its value and, up to 16 bytes, its key (a TOID), so a
// look-up of a TOID costs two memory accesses. Longer keys live in a character arena.
template <typename TValue>
class TStringList {
public:
    // Adds the entry unless the key is present; returns true when it was added.
    bool Add(std::string_view Text, const TValue& Value) {
        const uint32_t h = lists_detail::FoldedHash(Text);
        if (Lookup(Text, h) >= 0) return false;
        Insert(Text, h, Value);
        return true;
    }

    // The value of Text, added with Value when absent; Added says which. The pointer stays
    // valid until the next addition.
    TValue* FindOrAdd(std::string_view Text, const TValue& Value, bool& Added) {
        const uint32_t h = lists_detail::FoldedHash(Text);
        int32_t i = Lookup(Text, h);
        Added = i < 0;
        if (Added) {
            Insert(Text, h, Value);
            i = Count() - 1;
        }
        return &FEntries[i].Value;
    }

    // Starts loading the table slot of Text into the cache, for a look-up soon after; a
    // feature's TOID is known at its start tag and looked up some elements later.
    void Prefetch(std::string_view Text) const {
        if (!FSlots.empty()) __builtin_prefetch(&FSlots[lists_detail::FoldedHash(Text) & (FSlots.size() - 1)]);
    }

    int32_t IndexOf(std::string_view Text) const {
        return FEntries.empty() ? -1 : Lookup(Text, lists_detail::FoldedHash(Text));
    }
    bool Contains(std::string_view Text) const { return IndexOf(Text) >= 0; }

    // The value of Key, or nullptr. The pointer stays valid until the next addition.
    TValue* Find(std::string_view Text) {
        const int32_t i = IndexOf(Text);
        return i < 0 ? nullptr : &FEntries[i].Value;
    }
    const TValue* Find(std::string_view Text) const {
        const int32_t i = IndexOf(Text);
        return i < 0 ? nullptr : &FEntries[i].Value;
    }

    // Entries by number of addition.
    int32_t Count() const { return static_cast<int32_t>(FEntries.size()); }
    std::string_view Key(int32_t i) const { return KeyOf(FEntries[i]); }
    TValue& Value(int32_t i) { return FEntries[i].Value; }
    const TValue& Value(int32_t i) const { return FEntries[i].Value; }

    // Entry numbers in ascending key order (letter case ignored).
    const std::vector<int32_t>& Order() const {
        if (FOrder.size() != FEntries.size()) SortOrder();
        return FOrder;
    }

    // Room for Expected entries without rehashing.
    void Reserve(size_t Expected) {
        FEntries.reserve(Expected);
        size_t size = 16;
        while (size < Expected * 2) size *= 2;
        if (size > FSlots.size()) {
            FSlots.assign(size, TSlot{0, 0});
            for (uint32_t i = 0; i < FEntries.size(); ++i) Place(i, FEntries[i].Hash);
        }
    }

    void Clear() {
        FText.clear();
        FText.shrink_to_fit();
        FEntries = {};
        FSlots = {};
        FOrder = {};
    }

private:
    static constexpr uint32_t kInline = 16;

    struct TEntry {
        uint32_t Hash;
        uint32_t Length;
        union {
            char Inline[kInline];
            uint64_t Offset;
        };
        TValue Value;
    };
    struct TSlot {
        uint32_t Hash;
        uint32_t Entry;  // entry number + 1; 0 for a free slot
    };

    std::string_view KeyOf(const TEntry& e) const {
        return e.Length <= kInline ? std::string_view(e.Inline, e.Length)
                                   : std::string_view(FText.data() + e.Offset, e.Length);
    }

    int32_t Lookup(std::string_view Text, uint32_t h) const {
        if (FSlots.empty()) return -1;
        const size_t mask = FSlots.size() - 1;
        for (size_t s = h & mask;; s = (s + 1) & mask) {
            const TSlot slot = FSlots[s];
            if (slot.Entry == 0) return -1;
            if (slot.Hash == h && lists_detail::FoldedEqual(KeyOf(FEntries[slot.Entry - 1]), Text))
                return static_cast<int32_t>(slot.Entry - 1);
        }
    }

    void Insert(std::string_view Text, uint32_t h, const TValue& Value) {
        if ((FEntries.size() + 1) * 2 > FSlots.size()) Grow();
        const uint32_t index = static_cast<uint32_t>(FEntries.size());
        TEntry& e = FEntries.emplace_back(TEntry{h, static_cast<uint32_t>(Text.size()), {}, Value});
        if (Text.size() <= kInline) {
            std::copy(Text.begin(), Text.end(), e.Inline);
        } else {
            e.Offset = FText.size();
            FText.append(Text);
        }
        Place(index, h);
    }

    void Place(uint32_t index, uint32_t h) {
        const size_t mask = FSlots.size() - 1;
        size_t s = h & mask;
        while (FSlots[s].Entry != 0) s = (s + 1) & mask;
        FSlots[s] = TSlot{h, index + 1};
    }

    void Grow() {
        const size_t size = FSlots.empty() ? 16 : FSlots.size() * 2;
        FSlots.assign(size, TSlot{0, 0});
        for (uint32_t i = 0; i < FEntries.size(); ++i) Place(i, FEntries[i].Hash);
    }

    void SortOrder() const;

    std::string FText;
    std::vector<TEntry> FEntries;
    std::vector<TSlot> FSlots;
    mutable std::vector<int32_t> FOrder;
};

// A list ordered by key, looked up by halving in the original; here it shares the hashed
// implementation, which gives the same results.
template <typename TValue>
std::unique_ptr<TStringList<TValue>> NewSortedList() {
    return std::make_unique<TStringList<TValue>>();
}

// A list looked up through a hash table keyed on the upper-cased text.
template <typename TValue>
std::unique_ptr<TStringList<TValue>> NewHashedList() {
    return std::make_unique<TStringList<TValue>>();
}

// Texts in insertion order, duplicates allowed in principle; IndexOf gives the position of
// the first entry equal to a text (letter case ignored) without scanning the list.
class TPlainList {
public:
    int32_t Add(std::string_view Text);
    int32_t IndexOf(std::string_view Text) const;
    // Position of Text, appending it when absent.
    int32_t IndexOfOrAdd(std::string_view Text);
    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    const std::string& operator[](int32_t i) const { return FItems[i]; }
    const std::vector<std::string>& Items() const { return FItems; }
    // Length in characters (UTF-8 code points) of the longest text; 0 when empty.
    int32_t LongestLength() const;

private:
    std::vector<std::string> FItems;
    TStringList<int32_t> FIndex;
};

// Number of characters (code points) of a UTF-8 text.
int32_t Utf8Length(std::string_view s);

template <typename TValue>
void TStringList<TValue>::SortOrder() const {
    FOrder.resize(FEntries.size());
    for (size_t i = 0; i < FOrder.size(); ++i) FOrder[i] = static_cast<int32_t>(i);
    std::sort(FOrder.begin(), FOrder.end(), [this](int32_t a, int32_t b) {
        return lists_detail::FoldedCompare(Key(a), Key(b)) < 0;
    });
}

}  // namespace itn
