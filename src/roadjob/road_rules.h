// Rules the passes of the road job share: units and rounding of heights, road numbers, whether
// a feature is current, and how what several features (or several files, merged in file
// order) say about one link is combined. Reading the files in turn and merging the tables of
// files read on another thread both go through these, so both give the same tables.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "input/native_xml.h"
#include "roadjob/road_records.h"
#include "roadjob/string_lists.h"

namespace itn {

// Nearest integer, a half to the even neighbour, kept within 32 bits.
int32_t RoundHalfEven(double x);

// Height of a restriction in the output unit (0 cm, 1 inch); feet and inches win over metres.
int32_t HeightInUnit(int32_t Feet, int32_t Inches, double Metres, int32_t Unit);

// True when a character after the first is an ASCII digit.
bool IsRoadNumber(std::string_view Text);

// A feature's versions: the highest one counts.
inline void KeepHighestVersion(TStringList<int32_t>& Versions, std::string_view Toid, int32_t Version) {
    bool added;
    int32_t* known = Versions.FindOrAdd(Toid, Version, added);
    if (!added && Version > *known) *known = Version;
}

// Under two bridges the lower one limits the route.
inline void KeepLowestHeight(TStringList<int32_t>& Heights, std::string_view Toid, int32_t Height) {
    bool added;
    int32_t* known = Heights.FindOrAdd(Toid, Height, added);
    if (!added && Height < *known) *known = Height;
}

// A link of several roads takes the last name and number and keeps a trunk or primary flag.
inline void MergeRoad(TStringList<TRoad>& Roads, std::string_view Toid, const TRoad& Later) {
    bool added;
    TRoad* road = Roads.FindOrAdd(Toid, Later, added);
    if (added) return;
    if (Later.RoadNameId != -1) road->RoadNameId = Later.RoadNameId;
    if (Later.RoadNumberId != -1) road->RoadNumberId = Later.RoadNumberId;
    if (Later.IsTrunk) road->IsTrunk = true;
    if (Later.IsPrimary) road->IsPrimary = true;
}

// Follows the features of a file and tells whether the one being read is current: not
// departed, and of the highest version phase 1 found. Nodes of a feature that is not current
// are skipped by the passes after phase 1.
class TCurrentFeature {
public:
    TCurrentFeature(const TStringList<int32_t>& Versions, const TStringList<int32_t>& Departed)
        : FVersions(Versions), FDeparted(Departed) {}

    // At the start of every node. Inline: it runs for every node of the file.
    void NodeNew(TXmlNode& Node) {
        // A member element is never a feature: it always starts afresh, also after a skipped one.
        if (Node.TreeDepth() == 1) FSkip = false;
        if (Node.HasAttribute("fid")) FeatureStart(Node);
    }
    // At the end of every node; reads osgb:version.
    void NodeLoaded(TXmlNode& Node) {
        if (Node.Name() == std::string_view("osgb:version")) VersionRead(Node);
    }

    bool Skip() const { return FSkip; }
    const std::string& Fid() const { return FFid; }
    // The highest version of the feature: from its osgb:version once read, else looked up.
    int32_t Version() const;

private:
    void FeatureStart(TXmlNode& Node);
    void VersionRead(TXmlNode& Node);

    const TStringList<int32_t>& FVersions;
    const TStringList<int32_t>& FDeparted;
    std::string FFid;
    bool FSkip = false;
    bool FVersionRead = false;
    int32_t FVersion = 0;
};

}  // namespace itn
