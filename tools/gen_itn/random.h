// Deterministic hashing: every random choice is a pure function of the seed and of what is being
// chosen (tile, index, purpose), so any part of the data can be recomputed in any order and the
// output does not depend on the number of threads.
#pragma once

#include <cstdint>

namespace gen_itn {

inline uint64_t Mix(uint64_t z) {
    z += 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// Purposes of a hash, so that different choices about one object are independent.
enum class THashSalt : uint64_t {
    Node = 1, RightEdge, UpEdge, Spur, Loop, Bridge, Reverse, Geometry, RowClass, ColClass, LinkClass,
    Nature, Version, Date, OneWay, NoTurn, NoTurn3, Mandatory, Access, Height, OtherInfo, Duplicate,
    Departed, Road, RoadName, RoadNumber, Ferry, Urban, PathNet, Connect, PathInfo, Qualifier, Select
};

class THash {
public:
    explicit THash(uint64_t Seed) : FSeed(Mix(Seed)) {}
    uint64_t operator()(THashSalt Salt, uint64_t A, uint64_t B = 0, uint64_t C = 0) const {
        return Mix(FSeed ^ Mix(static_cast<uint64_t>(Salt) ^ Mix(A ^ Mix(B ^ Mix(C + 0x51ED27)))));
    }
    // Uniform in [0, 1).
    double U(THashSalt Salt, uint64_t A, uint64_t B = 0, uint64_t C = 0) const {
        return static_cast<double>((*this)(Salt, A, B, C) >> 11) * 0x1.0p-53;
    }

private:
    uint64_t FSeed;
};

// A small stream of numbers from one hash, for choices that need several values.
class TStream {
public:
    explicit TStream(uint64_t State) : FState(State) {}
    uint64_t Next() { return Mix(FState += 0x9E3779B97F4A7C15ULL); }
    double U() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    // Uniform integer in [Lo, Hi].
    int64_t Range(int64_t Lo, int64_t Hi) { return Lo + static_cast<int64_t>(Next() % static_cast<uint64_t>(Hi - Lo + 1)); }

private:
    uint64_t FState;
};

}  // namespace gen_itn
