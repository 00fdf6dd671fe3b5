// Helpers of the urban tests: capture of trace messages, and small urban paths documents
// built from their features.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "io/log_publisher.h"

namespace itn::test {

// A sink on the process-wide publisher that keeps the message part of every line.
class TTraceCapture : public TCustomLogger {
public:
    using TCustomLogger::TCustomLogger;
    void DoAddToLog(const std::string& Msg) override {
        // "Trace $XXXXXXXX message" with the default delimiter.
        std::lock_guard<std::mutex> lock(Mutex());
        Lines().push_back(Msg.size() > 16 ? Msg.substr(16) : std::string());
    }

    // Turns trace messages on and forgets what was captured so far.
    static void Start() {
        LogPublisher().RegisterLogClass<TTraceCapture>(lsTrace);
        LogPublisher().SetSeverityThreshold(lsTrace);
        std::lock_guard<std::mutex> lock(Mutex());
        Lines().clear();
    }
    static std::vector<std::string> Messages() {
        std::lock_guard<std::mutex> lock(Mutex());
        return Lines();
    }

private:
    static std::mutex& Mutex() {
        static std::mutex mutex;
        return mutex;
    }
    static std::vector<std::string>& Lines() {
        static std::vector<std::string> lines;
        return lines;
    }
};

// An urban paths document holding the given members.
inline std::string UrbanDocument(const std::vector<std::string>& Members) {
    std::string text =
        "<?xml version='1.0' encoding='UTF-8'?>\n"
        "<osgb:FeatureCollection xmlns:osgb='http://www.ordnancesurvey.co.uk/xml/namespaces/osgb' "
        "xmlns:gml='http://www.opengis.net/gml' xmlns:xlink='http://www.w3.org/1999/xlink' "
        "fid='GDS-urban'>\n";
    for (const std::string& member : Members) text += member;
    return text + "</osgb:FeatureCollection>\n";
}

struct TEnd {
    std::string Orientation;  // "-" or "+"
    std::string Node;         // TOID of the node
    std::string GradeSeparation = "";
};

inline std::string DirectedNodes(const std::vector<TEnd>& Ends) {
    std::string text;
    for (const TEnd& end : Ends) {
        text += "      <osgb:directedNode orientation='" + end.Orientation + "'";
        if (!end.GradeSeparation.empty()) text += " gradeSeparation='" + end.GradeSeparation + "'";
        text += " xlink:href='#osgb" + end.Node + "'/>\n";
    }
    return text;
}

inline std::string Coordinates(const std::string& Coords) {
    return "<gml:coordinates>" + Coords + "</gml:coordinates>";
}

// A path link; a term or coordinates given as "-" are left out.
inline std::string PathLink(const std::string& Toid, const std::string& Term, const std::string& Coords,
                            const std::vector<TEnd>& Ends = {}) {
    std::string text = "  <osgb:networkMember>\n    <osgb:PathLink fid='osgb" + Toid + "'>\n";
    text +=
        "      <osgb:version>1</osgb:version>\n      <osgb:descriptiveGroup>Path</osgb:descriptiveGroup>\n";
    if (Term != "-") text += "      <osgb:descriptiveTerm>" + Term + "</osgb:descriptiveTerm>\n";
    if (Coords != "-") {
        text += "      <osgb:polyline><gml:LineString srsName='osgb:BNG'>" + Coordinates(Coords) +
                "</gml:LineString></osgb:polyline>\n";
    }
    return text + DirectedNodes(Ends) + "    </osgb:PathLink>\n  </osgb:networkMember>\n";
}

inline std::string Point(const std::string& Coords) {
    return Coords == "-" ? std::string()
                         : "      <osgb:point><gml:Point srsName='osgb:BNG'>" + Coordinates(Coords) +
                               "</gml:Point></osgb:point>\n";
}

inline std::string PathNode(const std::string& Toid, const std::string& Coords) {
    return "  <osgb:networkMember>\n    <osgb:PathNode fid='osgb" + Toid + "'>\n" + Point(Coords) +
           "    </osgb:PathNode>\n  </osgb:networkMember>\n";
}

// A connecting node on road link RoadLink; "-" leaves the reference or the point out.
inline std::string ConnectingNode(const std::string& Toid, const std::string& RoadLink,
                                  const std::string& Coords) {
    std::string text = "  <osgb:networkMember>\n    <osgb:ConnectingNode fid='osgb" + Toid + "'>\n";
    if (RoadLink != "-") text += "      <osgb:referenceToITN xlink:href='#osgb" + RoadLink + "'/>\n";
    return text + Point(Coords) + "    </osgb:ConnectingNode>\n  </osgb:networkMember>\n";
}

inline std::string ConnectingLink(const std::string& Toid, const std::vector<TEnd>& Ends) {
    return "  <osgb:networkMember>\n    <osgb:ConnectingLink fid='osgb" + Toid + "'>\n" +
           DirectedNodes(Ends) + "    </osgb:ConnectingLink>\n  </osgb:networkMember>\n";
}

// Path link information; "-" leaves the reference or the classification out.
inline std::string PathLinkInformation(const std::string& Toid, const std::string& PathLink,
                                       const std::string& Classification) {
    std::string text =
        "  <osgb:pathInformationMember>\n    <osgb:PathLinkInformation fid='osgb" + Toid + "'>\n";
    if (PathLink != "-") text += "      <osgb:referenceToPathLink xlink:href='#osgb" + PathLink + "'/>\n";
    if (Classification != "-") {
        text += "      <osgb:environmentQualifier><osgb:classification>" + Classification +
                "</osgb:classification></osgb:environmentQualifier>\n";
    }
    return text + "    </osgb:PathLinkInformation>\n  </osgb:pathInformationMember>\n";
}

inline std::string Departed(const std::string& Toid) {
    return "  <osgb:departedMember>\n    <osgb:DepartedFeature fid='osgb" + Toid +
           "'><osgb:boundedBy/></osgb:DepartedFeature>\n  </osgb:departedMember>\n";
}

}  // namespace itn::test
