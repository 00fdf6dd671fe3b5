// The synthetic road network of one tile (one roads-layer file): a jittered lattice of road
// nodes with links between neighbours, dead-end spurs and closed loops, and the choice of every
// feature that refers to its links (roads, route and link information, copies, departures).
// A plan is a pure function of the configuration and the tile number.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "random.h"

namespace gen_itn {

struct TGenConfig {
    uint64_t Seed = 1;
    uint64_t Links = 10000;  // road links over all tiles (copies not counted)
    int Files = 1;
    uint64_t UrbanLinks = 0;  // path links over all tiles
    bool Fixture = false;     // every kind of record in every tile, whatever its size
    // Derived by Finish().
    int64_t SpacingMm = 0;  // lattice spacing
    int LatticeWidth = 0;   // lattice nodes per row
    int TileColumns = 0;    // tiles per row of the layout
    uint64_t SerialStride = 0;

    // Derives the layout; returns an error text, empty when the configuration is usable.
    std::string Finish();
    uint64_t LinksInTile(int Tile) const { return Share(Links, Tile); }
    uint64_t UrbanLinksInTile(int Tile) const { return Share(UrbanLinks, Tile); }
    int NextTile(int Tile) const { return (Tile + 1) % Files; }
    int PreviousTile(int Tile) const { return (Tile + Files - 1) % Files; }

private:
    uint64_t Share(uint64_t Total, int Tile) const {
        return Total / static_cast<uint64_t>(Files) + (static_cast<uint64_t>(Tile) < Total % Files ? 1 : 0);
    }
};

// Feature kinds; the kind is part of each feature's TOID, so TOIDs never collide.
enum class TKind : uint8_t {
    RoadLink = 10, RoadNode, Road, RoadLinkInformation, RoadRouteInformation, FerryLink, FerryNode,
    PathLink = 20, PathNode, ConnectingNode, ConnectingLink, PathLinkInformation
};

enum class TRoadClass : uint8_t {
    Motorway, ARoad, BRoad, MinorRoad, LocalStreet, PrivatePublic, PrivateRestricted, Alley, Pedestrianised
};

enum class TNature : uint8_t {
    Single, Dual, SlipRoad, Roundabout, TrafficIsland, TrafficIslandAtJunction, EnclosedTrafficArea
};

struct TPoint {
    int64_t X, Y;  // millimetres, British National Grid
    bool operator==(const TPoint&) const = default;
};

enum TLinkFlags : uint8_t {
    lfHorizontal = 1,
    lfVertical = 2,
    lfSpur = 4,
    lfLoop = 8,
    lfReversed = 16,  // digitised from To to From
    lfOldGroup = 32,  // descriptive group names the road class (older data), term differs
};

struct TLink {
    uint32_t From;  // the lattice node the link was made from
    uint32_t To;
    TRoadClass Class;
    TNature Nature;
    uint8_t Flags;
    uint8_t Points;   // vertices of the polyline, 2..30
    uint8_t Version;  // version written in the link's own file
};

enum TCopyKind : uint8_t { ckNone, ckSame, ckNewer, ckOlder };

struct TTurn {
    uint32_t Links[3];
    uint8_t Count;
    bool Mandatory;
    bool ExceptBuses;  // carries a vehicle qualifier
};

struct TRoadFeature {
    uint32_t FirstMember, MemberCount;  // into TTilePlan::RoadMembers
    int64_t Name;                       // name number, -1 for none
    int64_t Number;                     // road number key, -1 for none
    TRoadClass Class;                   // class of a numbered road
    bool Primary, Trunk, Upper;         // Upper: the name is written in capitals
    uint8_t Version;
    TCopyKind Copy;                     // also written in the next tile's file
};

struct TInfo {
    uint32_t Link;
    uint32_t Second;  // a second referenced link, or UINT32_MAX
    bool Departed;    // named by a departed feature
};

class TTilePlan {
public:
    TTilePlan(const TGenConfig& Config, int Tile);

    const TGenConfig& Config() const { return *FConfig; }
    int Tile() const { return FTile; }
    uint64_t Serial(uint64_t Local) const { return static_cast<uint64_t>(FTile) * FConfig->SerialStride + Local; }

    // Vertices of a link in digitised order.
    void LinkPoints(uint32_t Link, std::vector<TPoint>& Out) const;
    // gradeSeparation at the link's start ('-') or end ('+') node; -1 when none is written.
    int GradeSeparation(uint32_t Link, bool AtEnd) const;
    uint32_t StartNode(uint32_t Link) const;
    uint32_t EndNode(uint32_t Link) const;
    // Version of the link that is current over all files.
    uint8_t CurrentVersion(uint32_t Link) const;

    const THash& Hash() const { return FHash; }

    std::vector<TPoint> Nodes;
    std::vector<uint8_t> NodeUsed;
    std::vector<uint8_t> NodeBridge;
    std::vector<TLink> Links;
    std::vector<TCopyKind> LinkCopy;    // copy of the link in the next tile's file
    std::vector<uint8_t> LinkDeparted;  // departed (named in the next tile's file)
    std::vector<uint32_t> AdjStart, Adj;  // links at each node

    std::vector<uint32_t> OneWay;
    std::vector<TTurn> Turns;
    std::vector<TInfo> Access, Height, OtherInfo;
    std::vector<TRoadFeature> Roads;
    std::vector<uint32_t> RoadMembers;
    uint32_t FerryCount = 0;
    int64_t X0 = 0, Y0 = 0, Width = 0, Height_ = 0;  // tile extent, millimetres

private:
    void BuildLattice();
    void BuildAdjacency();
    void ChooseInformation();
    void BuildRoads();

    const TGenConfig* FConfig;
    int FTile;
    THash FHash;
};

}  // namespace gen_itn
