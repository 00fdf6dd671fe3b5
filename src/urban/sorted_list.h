// Keyed records of the urban paths converter, in ascending order of their keys compared
// without regard to ASCII letter case. Adding a key that is present does nothing, so a key
// keeps the record of its first addition.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace itn {

struct TCaseInsensitiveLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        const size_t n = a.size() < b.size() ? a.size() : b.size();
        for (size_t i = 0; i < n; ++i) {
            const unsigned char x = Fold(a[i]);
            const unsigned char y = Fold(b[i]);
            if (x != y) return x < y;
        }
        return a.size() < b.size();
    }
    static unsigned char Fold(char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u >= 'a' && u <= 'z') ? u - 32 : u;
    }
};

template <typename TValue>
class TSortedList {
    using TMap = std::map<std::string, TValue, TCaseInsensitiveLess>;

public:
    // Adds the entry unless the key is present; true when it was added.
    bool Add(std::string Key, TValue Value) {
        const bool added = FItems.try_emplace(std::move(Key), std::move(Value)).second;
        if (added) FOrder.clear();
        return added;
    }

    bool Contains(std::string_view Key) const { return FItems.find(Key) != FItems.end(); }
    TValue* Find(std::string_view Key) {
        auto it = FItems.find(Key);
        return it == FItems.end() ? nullptr : &it->second;
    }
    const TValue* Find(std::string_view Key) const {
        auto it = FItems.find(Key);
        return it == FItems.end() ? nullptr : &it->second;
    }

    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    bool Empty() const { return FItems.empty(); }

    // Entries by position in key order.
    const std::string& Key(int32_t Index) const { return Order()[Index]->first; }
    const TValue& Value(int32_t Index) const { return Order()[Index]->second; }

    // Entries in key order.
    typename TMap::const_iterator begin() const { return FItems.begin(); }
    typename TMap::const_iterator end() const { return FItems.end(); }

    void Clear() {
        FItems.clear();
        FOrder.clear();
    }

private:
    // Positions are looked up through an index built after the last change.
    const std::vector<typename TMap::const_iterator>& Order() const {
        if (FOrder.size() != FItems.size()) {
            FOrder.clear();
            FOrder.reserve(FItems.size());
            for (auto it = FItems.begin(); it != FItems.end(); ++it) FOrder.push_back(it);
        }
        return FOrder;
    }

    TMap FItems;
    mutable std::vector<typename TMap::const_iterator> FOrder;
};

}  // namespace itn
