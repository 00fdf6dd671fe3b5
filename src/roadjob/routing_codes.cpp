#include "roadjob/routing_codes.h"

namespace itn {

namespace {

struct TTermCode {
    std::string_view Term;
    int32_t Add;
};

constexpr TTermCode kTermCodes[] = {
    {"A Road", 4},
    {"B Road", 6},
    {"Minor Road", 7},
    {"Local Street", 8},
    {"Alley", 9},
    {"Private Road - Publicly Accessible", 12},
    {"Private Road - Restricted Access", 13},
    {"Pedestrianised Street", 14},
    {"Ferry Connection", 4112},
};

}  // namespace

TRoadClass ComputeRoadClass(std::string_view DescriptiveTerm, std::string_view NatureOfRoad, bool LinkTrunk,
                            int32_t LinkOneway, bool& Known) {
    TRoadClass c;
    c.RoadClassCode = LinkOneway * 512;
    Known = true;
    if (NatureOfRoad == "Roundabout") {
        c.RoadClassCode += 2059;
    } else if (NatureOfRoad == "Slip Road") {
        c.RoadClassCode += 10;
    } else if (DescriptiveTerm == "Motorway") {
        c.RoadClassCode += 1;
    } else if (LinkTrunk) {
        c.RoadClassCode += 2;
    } else {
        Known = false;
        for (const TTermCode& t : kTermCodes) {
            if (DescriptiveTerm == t.Term) {
                c.RoadClassCode += t.Add;
                c.Pedestrian = t.Add == 14;
                Known = true;
                break;
            }
        }
    }
    const int32_t roadClass = c.RoadClassCode % 32;
    c.MajorRoute = roadClass == 1 || roadClass == 2;
    // Only trunk and A roads tell dual carriageways from single ones.
    if ((roadClass == 2 || roadClass == 4) && NatureOfRoad != "Dual Carriageway") c.RoadClassCode += 1;
    return c;
}

TRoadClass FerryRoadClass() {
    return TRoadClass{4112, false, false};
}

int32_t Attribute2Value(const TRoadClass& c) {
    return c.RoadClassCode + 64 * (c.MajorRoute ? 1 : 0) + 128 * (c.Pedestrian ? 1 : 0);
}

int32_t AttributeCValue(const TRoadClass& c) {
    return c.RoadClassCode + 32 * (c.MajorRoute ? 1 : 0) + 64 * (c.Pedestrian ? 1 : 0);
}

int32_t Attribute4Value(const TRoadClass& c) {
    return c.RoadClassCode;
}

int32_t AvoidPatternValue(const TRoadClass& c) {
    return (c.MajorRoute ? 1 : 0) + 2 * (c.Pedestrian ? 1 : 0);
}

void AppendRoutingValues(std::string& Text, const TRoadClass& c, bool Attribute2, bool AttributeC,
                         bool Attribute4, bool AvoidPattern) {
    if (Attribute2) Text += "," + std::to_string(Attribute2Value(c));
    if (AttributeC) Text += "," + std::to_string(AttributeCValue(c));
    if (Attribute4) Text += "," + std::to_string(Attribute4Value(c));
    if (AvoidPattern) Text += "," + std::to_string(AvoidPatternValue(c));
}

}  // namespace itn
