#include "tile_plan.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "vocabulary.h"

namespace gen_itn {

namespace {

constexpr uint32_t kNone = UINT32_MAX;
constexpr uint64_t kSerialRange = 1000000000ULL;  // nine digits of serial in a TOID
constexpr int64_t kGridOriginX = 150000000;        // mm
constexpr int64_t kGridOriginY = 100000000;

// Rates per candidate; small fixtures raise them so that every kind occurs in every tile.
struct TRates {
    double RightEdge = 0.93, UpEdge = 0.92, Spur = 0.15, Loop = 0.05, Bridge = 0.015;
    double CopySame = 0.010, CopyNewer = 0.003, CopyOlder = 0.002, Departed = 0.002;
    double OneWay = 0.035, OneWayDual = 0.4;
    double NoTurn = 0.012, NoTurn3 = 0.002, Mandatory = 0.004, Mandatory3 = 0.0005;
    double Access = 0.02, Height = 0.003, OtherInfo = 0.01, InfoDeparted = 0.05;
    double Unnamed = 0.12, RoadCopySame = 0.02, RoadCopyNewer = 0.005, OldGroup = 0.004;
    double FerriesPerLink = 0.0001;
};

TRates RatesFor(const TGenConfig& Config) {
    TRates r;
    if (Config.Fixture) {
        r.Loop = 0.2;
        r.Bridge = 0.1;
        r.CopySame = 0.05;
        r.CopyNewer = 0.05;
        r.CopyOlder = 0.05;
        r.Departed = 0.04;
        r.OneWay = 0.12;
        r.NoTurn = 0.08;
        r.NoTurn3 = 0.05;
        r.Mandatory = 0.05;
        r.Mandatory3 = 0.03;
        r.Access = 0.12;
        r.Height = 0.06;
        r.OtherInfo = 0.05;
        r.InfoDeparted = 0.2;
        r.RoadCopySame = 0.15;
        r.RoadCopyNewer = 0.15;
        r.OldGroup = 0.1;
    }
    return r;
}

uint8_t VersionFrom(double u) {
    if (u < 0.40) return 1;
    if (u < 0.70) return 2;
    if (u < 0.85) return 3;
    if (u < 0.93) return 4;
    return static_cast<uint8_t>(5 + static_cast<int>((u - 0.93) * 57));  // 5..8
}

TRoadClass LineClass(double u) {
    if (u < 0.015) return TRoadClass::Motorway;
    if (u < 0.095) return TRoadClass::ARoad;
    if (u < 0.155) return TRoadClass::BRoad;
    return TRoadClass::LocalStreet;  // decided per link
}

TNature NatureFor(TRoadClass Class, double u) {
    switch (Class) {
        case TRoadClass::Motorway:
            return u < 0.85 ? TNature::Dual : TNature::SlipRoad;
        case TRoadClass::ARoad:
            if (u < 0.25) return TNature::Dual;
            if (u < 0.90) return TNature::Single;
            if (u < 0.94) return TNature::Roundabout;
            if (u < 0.97) return TNature::SlipRoad;
            return TNature::TrafficIsland;
        case TRoadClass::BRoad:
            if (u < 0.92) return TNature::Single;
            if (u < 0.96) return TNature::Roundabout;
            return TNature::TrafficIslandAtJunction;
        case TRoadClass::MinorRoad:
        case TRoadClass::LocalStreet:
            if (u < 0.97) return TNature::Single;
            if (u < 0.98) return TNature::Roundabout;
            if (u < 0.99) return TNature::TrafficIsland;
            return TNature::EnclosedTrafficArea;
        default:
            return TNature::Single;
    }
}

}  // namespace

std::string TGenConfig::Finish() {
    if (Files < 1) return "--files must be at least 1.";
    if (Links < static_cast<uint64_t>(Files)) return "--links must be at least the number of files (--files).";
    const uint64_t perTile = (Links + Files - 1) / Files;
    const uint64_t urbanPerTile = (UrbanLinks + Files - 1) / Files;
    SerialStride = kSerialRange / static_cast<uint64_t>(Files);
    if (SerialStride < 4 * std::max(perTile, urbanPerTile) + 64) {
        return "Too many features per file for 16-digit identifiers: use more files or fewer links.";
    }
    LatticeWidth = std::max(2, static_cast<int>(std::lround(std::sqrt(static_cast<double>(perTile) / 1.9))));
    // Spread the network over an area of the size of Great Britain, at town-like spacing.
    const double spacingM = std::sqrt(6.0e5 * 1.2e6 * 1.9 / static_cast<double>(Links)) * 0.8;
    SpacingMm = static_cast<int64_t>(std::clamp(spacingM, 25.0, 180.0) * 100) * 10;
    TileColumns = std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(Files)))));
    return {};
}

TTilePlan::TTilePlan(const TGenConfig& Config, int Tile) : FConfig(&Config), FTile(Tile), FHash(Config.Seed) {
    BuildLattice();
    BuildAdjacency();
    ChooseInformation();
    BuildRoads();
}

void TTilePlan::BuildLattice() {
    const TRates rates = RatesFor(*FConfig);
    const uint64_t n = FConfig->LinksInTile(FTile);
    const int w = FConfig->LatticeWidth;
    const int64_t s = FConfig->SpacingMm;
    const int64_t rows = static_cast<int64_t>(n / (static_cast<uint64_t>(w) * 19 / 10 + 1)) + 2;
    Width = w * s;
    Height_ = rows * s;
    X0 = kGridOriginX + (FTile % FConfig->TileColumns) * (Width + 4 * s);
    Y0 = kGridOriginY + (FTile / FConfig->TileColumns) * (Height_ + 4 * s);
    const uint64_t t = static_cast<uint64_t>(FTile);
    const uint64_t tileRow = t / static_cast<uint64_t>(FConfig->TileColumns);
    const uint64_t tileCol = t % static_cast<uint64_t>(FConfig->TileColumns);

    auto latticePoint = [&](uint32_t v) {
        const int64_t i = v % static_cast<uint32_t>(w), j = v / static_cast<uint32_t>(w);
        TStream r(FHash(THashSalt::Node, t, v));
        const int64_t jx = static_cast<int64_t>((r.U() - 0.5) * 0.5 * static_cast<double>(s));
        const int64_t jy = static_cast<int64_t>((r.U() - 0.5) * 0.5 * static_cast<double>(s));
        return TPoint{(X0 + i * s + jx) / 10 * 10, (Y0 + j * s + jy) / 10 * 10};
    };

    std::vector<TPoint> spurs;  // leaf nodes, numbered after the lattice nodes
    Links.reserve(n);
    uint32_t maxLattice = 0;
    bool anyLoop = false, anyOldGroup = false;
    auto add = [&](uint32_t from, uint32_t to, uint8_t flags, TRoadClass cls) {
        const uint32_t k = static_cast<uint32_t>(Links.size());
        const uint64_t key = (t << 32) | k;
        TStream r(FHash(THashSalt::LinkClass, key));
        TLink link{};
        link.From = from;
        link.To = to;
        link.Flags = flags;
        if (cls == TRoadClass::LocalStreet && (flags & (lfHorizontal | lfVertical))) {
            const double u = r.U();
            cls = u < 0.45 ? TRoadClass::MinorRoad
                : u < 0.94 ? TRoadClass::LocalStreet
                : u < 0.97 ? TRoadClass::PrivatePublic
                           : TRoadClass::PrivateRestricted;
        }
        link.Class = cls;
        link.Nature = (flags & lfLoop) ? (r.U() < 0.5 ? TNature::Roundabout : TNature::Single)
                                       : NatureFor(cls, r.U());
        if (cls <= TRoadClass::BRoad && (r.U() < rates.OldGroup || (FConfig->Fixture && !anyOldGroup))) {
            link.Flags |= lfOldGroup;
            anyOldGroup = true;
        }
        if (r.U() < 0.5) link.Flags |= lfReversed;
        const double p = r.U();
        link.Points = (flags & lfLoop) ? static_cast<uint8_t>(4 + static_cast<int>(26 * p * p))
                                       : static_cast<uint8_t>(2 + static_cast<int>(28.999 * std::pow(p, 5.0)));
        link.Version = VersionFrom(r.U());
        Links.push_back(link);
    };

    for (uint32_t v = 0; Links.size() < n; ++v) {
        const uint32_t i = v % static_cast<uint32_t>(w), j = v / static_cast<uint32_t>(w);
        TRoadClass rowClass = LineClass(FHash.U(THashSalt::RowClass, tileRow, j));
        TRoadClass colClass = LineClass(FHash.U(THashSalt::ColClass, tileCol, i));
        if (FConfig->Fixture) {
            if (j % 3 == 0) rowClass = TRoadClass::ARoad;
            if (i == 0) colClass = TRoadClass::Motorway;
        }
        if (i + 1 < static_cast<uint32_t>(w) && FHash.U(THashSalt::RightEdge, t, v) < rates.RightEdge) {
            add(v, v + 1, lfHorizontal, rowClass);
            maxLattice = std::max(maxLattice, v + 1);
        }
        if (Links.size() < n && FHash.U(THashSalt::UpEdge, t, v) < rates.UpEdge) {
            add(v, v + static_cast<uint32_t>(w), lfVertical, colClass);
            maxLattice = std::max(maxLattice, v + static_cast<uint32_t>(w));
        }
        if (Links.size() < n && FHash.U(THashSalt::Spur, t, v) < rates.Spur) {
            TStream r(FHash(THashSalt::Loop, t, v));
            const double u = r.U();
            TRoadClass cls = u < 0.5 ? TRoadClass::LocalStreet
                           : u < 0.65 ? TRoadClass::PrivatePublic
                           : u < 0.85 ? TRoadClass::PrivateRestricted
                           : u < 0.97 ? TRoadClass::Alley
                                      : TRoadClass::Pedestrianised;
            if (r.U() < rates.Loop || (FConfig->Fixture && !anyLoop)) {
                anyLoop = true;
                add(v, v, lfSpur | lfLoop, TRoadClass::LocalStreet);
            } else {
                const double angle = r.U() * 2 * std::numbers::pi;
                const double len = (0.3 + 0.2 * r.U()) * static_cast<double>(s);
                const TPoint a = latticePoint(v);
                spurs.push_back({(a.X + static_cast<int64_t>(std::cos(angle) * len)) / 10 * 10,
                                 (a.Y + static_cast<int64_t>(std::sin(angle) * len)) / 10 * 10});
                add(v, kNone - static_cast<uint32_t>(spurs.size()), lfSpur, cls);
            }
        }
        maxLattice = std::max(maxLattice, v);
    }

    const uint32_t latticeCount = maxLattice + 1;
    Nodes.resize(latticeCount + spurs.size());
    for (uint32_t v = 0; v < latticeCount; ++v) Nodes[v] = latticePoint(v);
    std::copy(spurs.begin(), spurs.end(), Nodes.begin() + latticeCount);
    NodeUsed.assign(Nodes.size(), 0);
    NodeBridge.assign(Nodes.size(), 0);
    for (TLink& link : Links) {
        if ((link.Flags & lfSpur) && !(link.Flags & lfLoop)) link.To = latticeCount + (kNone - link.To) - 1;
        NodeUsed[link.From] = NodeUsed[link.To] = 1;
    }
    for (uint32_t v = 0; v < latticeCount; ++v) {
        NodeBridge[v] = FHash.U(THashSalt::Bridge, t, v) < rates.Bridge;
    }

    LinkCopy.assign(Links.size(), ckNone);
    LinkDeparted.assign(Links.size(), 0);
    for (uint32_t k = 0; k < Links.size(); ++k) {
        const double u = FHash.U(THashSalt::Duplicate, t, k);
        if (u < rates.CopySame) {
            LinkCopy[k] = ckSame;
        } else if (u < rates.CopySame + rates.CopyNewer) {
            LinkCopy[k] = ckNewer;
        } else if (u < rates.CopySame + rates.CopyNewer + rates.CopyOlder) {
            LinkCopy[k] = Links[k].Version >= 2 ? ckOlder : ckNewer;
        }
        LinkDeparted[k] = FHash.U(THashSalt::Departed, t, k) < rates.Departed;
    }
    if (FConfig->Fixture && Links.size() >= 4) {
        // Every kind of copy and a departure, on distinct links.
        LinkCopy[0] = ckSame;
        LinkCopy[1] = ckNewer;
        if (Links[2].Version < 2) Links[2].Version = 2;
        LinkCopy[2] = ckOlder;
        LinkDeparted[3] = 1;
    }

    const double ferries = static_cast<double>(n) * rates.FerriesPerLink + FHash.U(THashSalt::Ferry, t);
    FerryCount = static_cast<uint32_t>(ferries);
    if (FerryCount == 0 && (FConfig->Fixture || (FTile == 0 && FConfig->Links * rates.FerriesPerLink < 1))) {
        FerryCount = 1;
    }
}

void TTilePlan::BuildAdjacency() {
    AdjStart.assign(Nodes.size() + 1, 0);
    for (const TLink& link : Links) {
        ++AdjStart[link.From + 1];
        if (link.To != link.From) ++AdjStart[link.To + 1];
    }
    for (size_t v = 1; v < AdjStart.size(); ++v) AdjStart[v] += AdjStart[v - 1];
    Adj.resize(AdjStart.back());
    std::vector<uint32_t> fill(AdjStart.begin(), AdjStart.end() - 1);
    for (uint32_t k = 0; k < Links.size(); ++k) {
        Adj[fill[Links[k].From]++] = k;
        if (Links[k].To != Links[k].From) Adj[fill[Links[k].To]++] = k;
    }
}

uint32_t TTilePlan::StartNode(uint32_t Link) const {
    const TLink& l = Links[Link];
    return (l.Flags & lfReversed) ? l.To : l.From;
}

uint32_t TTilePlan::EndNode(uint32_t Link) const {
    const TLink& l = Links[Link];
    return (l.Flags & lfReversed) ? l.From : l.To;
}

uint8_t TTilePlan::CurrentVersion(uint32_t Link) const {
    return static_cast<uint8_t>(Links[Link].Version + (LinkCopy[Link] == ckNewer ? 1 : 0));
}

int TTilePlan::GradeSeparation(uint32_t Link, bool AtEnd) const {
    const TLink& l = Links[Link];
    const uint32_t node = AtEnd ? EndNode(Link) : StartNode(Link);
    if (!NodeBridge[node] || !(l.Flags & (lfHorizontal | lfVertical))) return -1;
    return (l.Flags & lfHorizontal) ? 1 : 0;
}

void TTilePlan::LinkPoints(uint32_t Link, std::vector<TPoint>& Out) const {
    const TLink& l = Links[Link];
    TStream r(FHash(THashSalt::Geometry, static_cast<uint64_t>(FTile), Link));
    const TPoint a = Nodes[l.From], b = Nodes[l.To];
    const int count = l.Points;
    Out.clear();
    Out.push_back(a);
    if (l.Flags & lfLoop) {
        const double radius = static_cast<double>(FConfig->SpacingMm) * (0.12 + 0.08 * r.U());
        const double start = r.U() * 2 * std::numbers::pi;
        const double cx = static_cast<double>(a.X) + radius * std::cos(start);
        const double cy = static_cast<double>(a.Y) + radius * std::sin(start);
        for (int k = 1; k < count - 1; ++k) {
            const double angle = start + std::numbers::pi + 2 * std::numbers::pi * k / (count - 1);
            Out.push_back({static_cast<int64_t>(cx + radius * std::cos(angle)) / 10 * 10,
                           static_cast<int64_t>(cy + radius * std::sin(angle)) / 10 * 10});
        }
    } else {
        const double dx = static_cast<double>(b.X - a.X), dy = static_cast<double>(b.Y - a.Y);
        const double bend = (r.U() - 0.5) * 0.25;
        for (int k = 1; k < count - 1; ++k) {
            const double f = static_cast<double>(k) / (count - 1);
            const double off = bend * std::sin(std::numbers::pi * f) + (r.U() - 0.5) * 0.02;
            Out.push_back({static_cast<int64_t>(static_cast<double>(a.X) + dx * f - dy * off) / 10 * 10,
                           static_cast<int64_t>(static_cast<double>(a.Y) + dy * f + dx * off) / 10 * 10});
        }
    }
    Out.push_back(b);
    if (l.Flags & lfReversed) std::reverse(Out.begin(), Out.end());
}

void TTilePlan::ChooseInformation() {
    const TRates rates = RatesFor(*FConfig);
    const uint64_t t = static_cast<uint64_t>(FTile);
    auto isLoop = [&](uint32_t k) { return (Links[k].Flags & lfLoop) != 0; };
    // Another link at the end node of link k, or kNone.
    auto neighbour = [&](uint32_t k, uint32_t node, uint64_t h) {
        const uint32_t deg = AdjStart[node + 1] - AdjStart[node];
        for (uint32_t d = 0; d < deg; ++d) {
            const uint32_t other = Adj[AdjStart[node] + (h + d) % deg];
            if (other != k && !isLoop(other)) return other;
        }
        return kNone;
    };

    for (uint32_t k = 0; k < Links.size(); ++k) {
        const double rate = Links[k].Nature == TNature::Dual ? rates.OneWayDual : rates.OneWay;
        if (FHash.U(THashSalt::OneWay, t, k) < rate) OneWay.push_back(k);
        const uint64_t h = FHash(THashSalt::Access, t, k);
        const double u = static_cast<double>(h >> 11) * 0x1.0p-53;
        if (u < rates.Access) {
            const uint32_t second = (h & 3) == 0 ? neighbour(k, EndNode(k), h >> 8) : kNone;
            Access.push_back({k, second, FHash.U(THashSalt::Departed, t, k, 1) < rates.InfoDeparted});
        }
        if (FHash.U(THashSalt::Height, t, k) < rates.Height) Height.push_back({k, kNone, false});
        if (FHash.U(THashSalt::OtherInfo, t, k) < rates.OtherInfo) OtherInfo.push_back({k, kNone, false});
    }
    if (FConfig->Fixture && !Links.empty()) {
        const uint32_t last = static_cast<uint32_t>(Links.size() - 1);
        if (OneWay.empty()) OneWay.push_back(last);
        if (Access.size() < 2) {
            Access.push_back({last, kNone, false});
            Access.push_back({0, neighbour(0, EndNode(0), 0), true});
        }
        if (Height.empty()) Height.push_back({last / 2, kNone, false});
        if (OtherInfo.empty()) OtherInfo.push_back({last / 3, kNone, false});
    }

    // Turn restrictions at junctions; links of one restriction meet at shared nodes.
    // Kinds: 0 no turn, 1 no turn through three links, 2 mandatory, 3 mandatory of three links.
    auto addTurn = [&](uint32_t v, int kind) {
        const uint32_t deg = AdjStart[v + 1] - AdjStart[v];
        if (deg < 2) return false;
        const uint64_t h = FHash(THashSalt::Select, t, v, static_cast<uint64_t>(kind));
        const uint32_t a = Adj[AdjStart[v] + h % deg];
        if (isLoop(a)) return false;
        const uint32_t b = neighbour(a, v, h >> 16);
        if (b == kNone) return false;
        TTurn turn{{a, b, kNone}, 2, kind >= 2, (h >> 40) % 100 < 15};
        if (kind == 1 || kind == 3) {
            const uint32_t w = Links[b].From == v ? Links[b].To : Links[b].From;
            const uint32_t c = neighbour(b, w, h >> 24);
            if (c == kNone || c == a) return false;
            turn.Links[2] = c;
            turn.Count = 3;
        }
        Turns.push_back(turn);
        return true;
    };
    const double limits[4] = {rates.NoTurn, rates.NoTurn + rates.NoTurn3,
                              rates.NoTurn + rates.NoTurn3 + rates.Mandatory,
                              rates.NoTurn + rates.NoTurn3 + rates.Mandatory + rates.Mandatory3};
    bool seen[4] = {false, false, false, false};
    for (uint32_t v = 0; v < Nodes.size(); ++v) {
        const double u = FHash.U(THashSalt::NoTurn, t, v);
        int kind = 0;
        while (kind < 4 && u >= limits[kind]) ++kind;
        if (kind < 4 && addTurn(v, kind)) seen[kind] = true;
    }
    if (FConfig->Fixture) {
        for (int kind = 0; kind < 4; ++kind) {
            for (uint32_t v = 0; !seen[kind] && v < Nodes.size(); ++v) seen[kind] = addTurn(v, kind);
        }
    }
}

void TTilePlan::BuildRoads() {
    const TRates rates = RatesFor(*FConfig);
    const uint64_t t = static_cast<uint64_t>(FTile);
    const uint64_t pool = std::clamp<uint64_t>(FConfig->Links / 5, 300, NamePoolLimit());
    const uint32_t w = static_cast<uint32_t>(FConfig->LatticeWidth);
    const uint64_t tileRow = t / static_cast<uint64_t>(FConfig->TileColumns);
    const uint64_t tileCol = t % static_cast<uint64_t>(FConfig->TileColumns);
    std::vector<std::pair<uint32_t, uint32_t>> members;  // (road, link)

    auto newRoad = [&](uint64_t key, TRoadClass cls, int64_t number) {
        TStream r(FHash(THashSalt::Road, t, key));
        TRoadFeature road{};
        road.Name = -1;
        road.Number = number;
        road.Class = cls;
        road.Version = VersionFrom(r.U());
        const double c = r.U();
        road.Copy = c < rates.RoadCopySame ? ckSame : c < rates.RoadCopySame + rates.RoadCopyNewer ? ckNewer : ckNone;
        const double p = r.U();
        if (cls == TRoadClass::Motorway) {
            road.Primary = true;
            road.Trunk = p < 0.6 || FConfig->Fixture;
        } else if (cls == TRoadClass::ARoad) {
            road.Primary = p < 0.6 || FConfig->Fixture;
            road.Trunk = p < 0.2;
        }
        Roads.push_back(road);
        return static_cast<uint32_t>(Roads.size() - 1);
    };
    auto newNamedRoad = [&](uint64_t key, const TLink& first) -> uint32_t {
        if (FHash.U(THashSalt::RoadName, t, key) < rates.Unnamed && !(FConfig->Fixture && key < 4)) return kNone;
        TStream r(FHash(THashSalt::RoadName, t, key, 1));
        const uint32_t road = newRoad(key, TRoadClass::LocalStreet, -1);
        Roads[road].Primary = Roads[road].Trunk = false;
        Roads[road].Name = static_cast<int64_t>(r.Next() % pool);
        Roads[road].Upper = r.U() < 0.03;
        // Some named roads on numbered routes carry the number as a second name.
        if (first.Class <= TRoadClass::BRoad && r.U() < 0.1) {
            const uint64_t line = (first.Flags & lfHorizontal) ? (first.From / w) : (first.From % w);
            const uint64_t lineKey = (first.Flags & lfHorizontal) ? FHash(THashSalt::RoadNumber, tileRow, line)
                                                                   : FHash(THashSalt::RoadNumber, tileCol, line, 1);
            Roads[road].Number = static_cast<int64_t>(lineKey >> 1);
            Roads[road].Class = first.Class;
            Roads[road].Primary = first.Class != TRoadClass::BRoad;
        }
        return road;
    };

    // Named roads: runs of consecutive links along a lattice row or column, and single spurs.
    uint64_t runKey = 0;
    struct TRun {
        uint32_t Road = kNone, LastTo = kNone, Length = 0, Limit = 0;
    };
    TRun rowRun;
    std::vector<TRun> colRuns(w);
    // Numbered roads: every link of a motorway, A or B line, in chunks.
    std::vector<std::pair<uint32_t, uint32_t>> rowNumbered;  // per row: (road, count)
    std::vector<std::pair<uint32_t, uint32_t>> colNumbered(w, {kNone, 0});
    uint32_t currentRow = kNone;
    std::pair<uint32_t, uint32_t> rowNum{kNone, 0};

    auto extend = [&](TRun& run, uint32_t k) {
        const TLink& l = Links[k];
        if (run.LastTo != l.From || run.Length >= run.Limit) {
            run.Road = newNamedRoad(++runKey, l);
            run.Length = 0;
            run.Limit = 4 + static_cast<uint32_t>(FHash(THashSalt::Road, t, runKey, 2) % 11);
        }
        run.LastTo = l.To;
        ++run.Length;
        if (run.Road != kNone) members.push_back({run.Road, k});
    };
    auto number = [&](std::pair<uint32_t, uint32_t>& state, uint32_t k, uint64_t key) {
        const TLink& l = Links[k];
        if (l.Class > TRoadClass::BRoad) return;
        if (state.first == kNone || state.second >= 100 || Roads[state.first].Class != l.Class) {
            state.first = newRoad(key ^ (0x8000000000000000ULL | k), l.Class, static_cast<int64_t>(key >> 1));
            state.second = 0;
        }
        ++state.second;
        members.push_back({state.first, k});
    };

    for (uint32_t k = 0; k < Links.size(); ++k) {
        const TLink& l = Links[k];
        if (l.Flags & lfHorizontal) {
            const uint32_t row = l.From / w;
            if (row != currentRow) {
                currentRow = row;
                rowRun = TRun{};
                rowNum = {kNone, 0};
            }
            extend(rowRun, k);
            number(rowNum, k, FHash(THashSalt::RoadNumber, tileRow, row));
        } else if (l.Flags & lfVertical) {
            const uint32_t col = l.From % w;
            extend(colRuns[col], k);
            number(colNumbered[col], k, FHash(THashSalt::RoadNumber, tileCol, col, 1));
        } else if (FHash.U(THashSalt::RoadName, t, k, 3) < 0.7) {
            const uint32_t road = newNamedRoad(++runKey, l);
            if (road != kNone) members.push_back({road, k});
        }
    }

    // Members grouped by road, in link order within each road.
    std::vector<uint32_t> count(Roads.size() + 1, 0);
    for (const auto& m : members) ++count[m.first + 1];
    for (size_t r = 1; r < count.size(); ++r) count[r] += count[r - 1];
    RoadMembers.resize(members.size());
    for (size_t r = 0; r < Roads.size(); ++r) {
        Roads[r].FirstMember = count[r];
        Roads[r].MemberCount = count[r + 1] - count[r];
    }
    for (const auto& m : members) RoadMembers[count[m.first]++] = m.second;
}

}  // namespace gen_itn
