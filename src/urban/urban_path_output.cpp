// Writing the urban links as the first records of the network file.
#include "urban/coords_to_points.h"
#include "urban/urban_path_data.h"

namespace itn {

int32_t TUrbanPathData::WriteGisFile(TGISWrite& f, bool field1, bool field2, bool field3, bool field4,
                                     const std::string& DefaultVehicleUseAttributeString,
                                     const std::string& DefaultVehicleTypeAttributeString) {
    // The columns after descriptiveTerm are the same for every urban record: no nature of road,
    // version 0, no name or number, neither trunk nor primary, both directions, no height limit,
    // the routing codes of a path, and no vehicle restrictions.
    std::string tail = ",\"\",0,\"\",\"\",\"F\",\"F\",0,0";
    if (field1) tail += ",143";
    if (field2) tail += ",79";
    if (field3) tail += ",15";
    if (field4) tail += ",2";
    if (!DefaultVehicleUseAttributeString.empty()) tail += "," + DefaultVehicleUseAttributeString;
    if (!DefaultVehicleTypeAttributeString.empty()) tail += "," + DefaultVehicleTypeAttributeString;

    int32_t n = 0;
    TFloatPointArrayEx points;
    std::string text;
    auto write = [&](const std::string& Toid, int32_t ZFrom, int32_t ZTo, const std::string& Term,
                     const std::string& Coords) {
        ++n;
        text = std::to_string(n) + ",\"" + Toid + "\"," + std::to_string(ZFrom) + "," + std::to_string(ZTo) +
               ",\"" + Term + "\"" + tail;
        f.AddObject(1, false, text);
        CoordsToPoints(Coords, points);
        f.AddSection(1, points);
    };

    for (const auto& [toid, link] : fPathLinkDataList) {
        const std::string term = link.Classification.empty()
                                     ? link.DescriptiveTerm
                                     : link.DescriptiveTerm + " - " + link.Classification;
        write(link.PathLinkID, link.StartNodeGradeSeparation, link.EndNodeGradeSeparation, term, link.Coords);
    }
    fPathLinkDataList.Clear();

    // A straight line from the "-" end to the "+" end; one point when an end is missing.
    for (const auto& [toid, link] : fConnectingLinkDataList) {
        write(link.ConnectingLinkID, link.StartNodeGradeSeparation, link.EndNodeGradeSeparation,
              "Connecting Link", link.StartPoint + " " + link.Endpoint);
    }
    fConnectingLinkDataList.Clear();
    return n;
}

}  // namespace itn
