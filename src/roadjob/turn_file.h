// turn.txt: the No Turn and Mandatory Turn restrictions, naming links by TOID and, where
// urban paths divided a link, by the piece that touches the junction.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "roadjob/road_records.h"
#include "roadjob/string_lists.h"

namespace itn {

struct TTurnRestrictions {
    std::vector<std::string> NoTurnFromList, NoTurnToList;
    std::vector<std::string> MandatoryTurnFromList, MandatoryTurnToList;
    // Every other No Turn: its TOIDs, each followed by one space.
    std::vector<std::string> NoTurnSequenceList;
};

// The suffixes of A and B at their common end point: "_<piece>" for a divided link, two
// spaces for an undivided one or when the links do not meet.
std::pair<std::string, std::string> ResolveTurnSuffixes(const TTurnCoord& a, const TTurnCoord& b);

// TurnCoords is read only when UrbanPathsPresent; a TOID it lacks reads as N = 0 at (0, 0).
void WriteTurnFile(const std::string& FileName, uint16_t Codepage, const TTurnRestrictions& Turns,
                   bool UrbanPathsPresent, const TStringList<TTurnCoord>* TurnCoords);

}  // namespace itn
