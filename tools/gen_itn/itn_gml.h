// Writes ITN GML: the feature collection frame, the roads-layer file of a tile and the urban
// paths features of a tile, with the element structure of OS ITN files (members at depth 1,
// features at depth 2, properties at depth 3, their children at depth 4).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "output_file.h"
#include "tile_plan.h"

namespace gen_itn {

// What was written, for the summary and for checking a converter's output.
struct TCounts {
    uint64_t RoadLinkElements = 0;  // including copies in other files
    uint64_t RoadLinks = 0;         // distinct road links
    uint64_t RoadLinksDeparted = 0;
    uint64_t RoadLinksClosed = 0;
    uint64_t RoadLinkCopies = 0;
    uint64_t RoadNodes = 0;
    uint64_t GradeSeparations = 0;
    uint64_t Roads = 0;
    uint64_t OneWay = 0;
    uint64_t NoTurn2 = 0, NoTurn3 = 0, Mandatory2 = 0, Mandatory3 = 0;
    uint64_t AccessInfo = 0, HeightInfo = 0, OtherInfo = 0;
    uint64_t FerryLinks = 0, FerryNodes = 0;
    uint64_t DepartedFeatures = 0;
    uint64_t PathLinks = 0, PathNodes = 0, ConnectingNodes = 0, ConnectingLinks = 0, PathLinkInfo = 0;
    uint64_t UrbanDeparted = 0;

    TCounts& operator+=(const TCounts& o);
};

void WriteCollectionStart(TOutputFile& Out, const TGenConfig& Config, std::string_view Id,
                          int64_t X0, int64_t Y0, int64_t X1, int64_t Y1);
void WriteCollectionEnd(TOutputFile& Out);

// The roads-layer file of Plan's tile. Previous is the plan of the tile before it, whose copies
// and departures this file carries.
void WriteRoadsFile(TOutputFile& Out, const TTilePlan& Plan, const TTilePlan& Previous, TCounts& Counts);

// The urban paths features of Plan's tile (path links and nodes, connecting nodes on its road
// links, connecting links, path link information, departures), without the frame.
void WriteUrbanFeatures(TOutputFile& Out, const TTilePlan& Plan, TCounts& Counts);

}  // namespace gen_itn
