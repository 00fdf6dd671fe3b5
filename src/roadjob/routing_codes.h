// Road class codes of the Brinlow routing products and the four columns derived from them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace itn {

struct TRoadClass {
    int32_t RoadClassCode = 0;
    bool MajorRoute = false;
    bool Pedestrian = false;
};

// The code of a road link from its (normalised) descriptive term, nature of road, trunk flag
// and one-way value. Known is false when the term is outside the vocabulary (class 0).
TRoadClass ComputeRoadClass(std::string_view DescriptiveTerm, std::string_view NatureOfRoad, bool LinkTrunk,
                            int32_t LinkOneway, bool& Known);

// The fixed code of ferry links.
TRoadClass FerryRoadClass();

int32_t Attribute2Value(const TRoadClass& c);
int32_t AttributeCValue(const TRoadClass& c);
int32_t Attribute4Value(const TRoadClass& c);
int32_t AvoidPatternValue(const TRoadClass& c);

// Appends "," and the value of each switched-on column, in column order.
void AppendRoutingValues(std::string& Text, const TRoadClass& c, bool Attribute2, bool AttributeC,
                         bool Attribute4, bool AvoidPattern);

}  // namespace itn
