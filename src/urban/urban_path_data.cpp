// Reading of the urban paths files: two passes, one kind of feature per Read... step.
#include "urban/urban_path_data.h"

#include <filesystem>

#include "gis/gis_functions.h"
#include "io/errors.h"
#include "io/log_publisher.h"
#include "urban/xml_query.h"

namespace itn {

namespace {

// TOID of a feature: its fid from the 5th character on ("osgb" dropped), at most 16 characters.
std::string FeatureToid(const std::string& Fid) { return Fid.size() > 4 ? Fid.substr(4, 16) : std::string(); }

// TOID of a reference "#osgb...": from the 6th character on, at most MaxLength characters.
std::string ReferenceToid(const std::string& Href, size_t MaxLength = 16) {
    return Href.size() > 5 ? Href.substr(5, MaxLength) : std::string();
}

std::string UpperAscii(std::string_view Text) {
    std::string upper(Text);
    for (char& c : upper) c = static_cast<char>(TCaseInsensitiveLess::Fold(c));
    return upper;
}

void Trace(const std::string& Text) { LogPublisher().Trace(Text); }

}  // namespace

TUrbanPathData::TUrbanPathData(bool) {}

TUrbanPathData::~TUrbanPathData() = default;

void TUrbanPathData::DoStatus(const std::string& Text) {
    if (OnStatus) OnStatus(*this, Text);
}

void TUrbanPathData::DoItemChanged(int32_t Index) {
    if (OnItemChanged) OnItemChanged(*this, Index);
    CheckStop();  // after the event: a window handles its Stop command there
}

void TUrbanPathData::CheckCoordinates(const IXmlFile& File, std::string_view Coords, const std::string& Toid) {
    const std::string_view value = UnusableCoordinate(Coords);
    if (value.empty()) return;
    throw EXML("'" + std::string(value) + "' is not a finite coordinate in feature " + Toid + " (" +
               std::filesystem::path(File.FileName()).filename().string() + ")");
}

void TUrbanPathData::CheckStop() const {
    if (Stop && Stop->load(std::memory_order_relaxed)) throw EStopped();
}

void TUrbanPathData::ProcessData(const std::vector<std::string>& afiles) {
    fIdentities.Clear();
    const auto n = static_cast<int32_t>(afiles.size());
    std::vector<int64_t> features(afiles.size());
    DoStatus("Phase 1 / 2");
    for (int32_t i = 0; i < n; ++i) {
        DoItemChanged(i);
        features[i] = ProcessFilePass1(afiles[i]);
    }
    DoStatus("Phase 2 / 2");
    for (int32_t i = 0; i < n; ++i) {
        DoItemChanged(i);
        features[i] += ProcessFilePass2(afiles[i]);
        if (features[i] == 0 && OnWarning) OnWarning(*this, "No ITN urban path features found in " + afiles[i]);
    }
}

std::function<void(int)> TUrbanPathData::IdentityCheck(const std::string& FileName) {
    return [this, FileName](int Handle) { fIdentities.Check(FileName, Handle); };
}

int64_t TUrbanPathData::ProcessFilePass1(const std::string& FileName) {
    Trace("Processing file Pass 1 " + FileName);
    const auto file = TXmlFile::Create(FileName, IdentityCheck(FileName));
    ReadDepartedFeatures(*file);
    int64_t features = ReadPathLinks(*file);
    features += ReadPathLinkInformation(*file);
    features += ReadConnectingNodes(*file);
    features += ReadPathNodes(*file);
    return features;
}

int64_t TUrbanPathData::ProcessFilePass2(const std::string& FileName) {
    Trace("Processing file Pass 2 " + FileName);
    const auto file = TXmlFile::Create(FileName, IdentityCheck(FileName));
    return ReadConnectingLinks(*file);
}

bool TUrbanPathData::IsDeparted(std::string_view Toid) const {
    return !fDepartedSet.empty() && fDepartedSet.count(UpperAscii(Toid)) > 0;
}

void TUrbanPathData::ReadDepartedFeatures(const IXmlFile& File) {
    const auto features = File.RecordSet("osgb:departedMember/osgb:DepartedFeature");
    for (int32_t i = 0, n = features->Count(); i < n; ++i, features->Next()) {
        CheckStop();
        std::string toid = FeatureToid(features->GetXField("@fid"));
        fDepartedSet.insert(UpperAscii(toid));
        fDepartedList.push_back(std::move(toid));
    }
}

int32_t TUrbanPathData::ReadPathLinks(const IXmlFile& File) {
    const auto links = File.RecordSet("osgb:networkMember/osgb:PathLink");
    const int32_t count = links->Count();
    for (int32_t i = 0; i < count; ++i, links->Next()) {
        CheckStop();
        const std::string toid = FeatureToid(links->GetXField("@fid"));
        if (IsDeparted(toid)) {
            Trace("Departed Path Link " + toid);
            continue;
        }
        if (fPathLinkDataList.Contains(toid)) continue;  // taken from an earlier file

        TPathLinkInformationData link;
        link.PathLinkID = toid;
        const auto term = links->Find("osgb:descriptiveTerm", foNull);
        if (term->IsNull()) {
            Trace("Path Link DescriptiveTerm missing " + toid);
        } else {
            link.DescriptiveTerm = term->GetValue();
        }
        const auto coords = links->Find("osgb:polyline/gml:LineString/gml:coordinates", foNull);
        if (coords->IsNull()) {
            Trace("Path Link Coordinates missing " + toid);
        } else {
            link.Coords = coords->GetValue();
            CheckCoordinates(File, link.Coords, toid);
        }
        const auto nodes = links->RecordSet("osgb:directedNode");
        for (int32_t j = 0, m = nodes->Count(); j < m; ++j, nodes->Next()) {
            const std::string orientation = nodes->GetXField("@orientation");
            if (orientation == "-") {
                link.StartNodeGradeSeparation = nodes->GetXInt("@gradeSeparation");
            } else if (orientation == "+") {
                link.EndNodeGradeSeparation = nodes->GetXInt("@gradeSeparation");
            }
        }
        // Kept also without term or coordinates.
        fPathLinkDataList.Add(toid, std::move(link));
    }
    return count;
}

int32_t TUrbanPathData::ReadPathLinkInformation(const IXmlFile& File) {
    const auto infos = File.RecordSet("osgb:pathInformationMember/osgb:PathLinkInformation");
    const int32_t count = infos->Count();
    for (int32_t i = 0; i < count; ++i, infos->Next()) {
        CheckStop();
        const std::string toid = FeatureToid(infos->GetXField("@fid"));
        if (IsDeparted(toid)) {
            Trace("Departed Path Info Link " + toid);
            continue;
        }
        const auto reference = infos->Find("osgb:referenceToPathLink", foNull);
        if (reference->IsNull()) {
            Trace("Path Info Link has missing reference " + toid);
            continue;
        }
        TPathLinkInformationData* link =
            fPathLinkDataList.Find(ReferenceToid(reference->GetXField("@xlink:href")));
        if (!link) {
            Trace("Path Info Link - could not find path link " + toid);
            continue;
        }
        const auto classification = infos->Find("osgb:environmentQualifier/osgb:classification", foNull);
        if (!classification->IsNull()) link->Classification = classification->GetValue();
    }
    return count;
}

int32_t TUrbanPathData::ReadConnectingNodes(const IXmlFile& File) {
    const auto nodes = File.RecordSet("osgb:networkMember/osgb:ConnectingNode");
    const int32_t count = nodes->Count();
    for (int32_t i = 0; i < count; ++i, nodes->Next()) {
        CheckStop();
        const std::string toid = FeatureToid(nodes->GetXField("@fid"));
        if (IsDeparted(toid)) {
            Trace("Departed Connecting Node " + toid);
            continue;
        }
        TConnectingNodeInformation node;
        node.ConnectingNodeID = toid;
        const auto reference = nodes->Find("osgb:referenceToITN", foNull);
        if (reference->IsNull()) {
            Trace("Connecting Node Ref to ITN node missing " + toid);
            continue;
        }
        node.RefToItn = ReferenceToid(reference->GetXField("@xlink:href"));
        const auto coords = nodes->Find("osgb:point/gml:Point/gml:coordinates", foNull);
        if (coords->IsNull()) {
            Trace("Connecting Node missing coords node " + toid);
            continue;
        }
        node.Coords = coords->GetValue();
        CheckCoordinates(File, node.Coords, toid);
        fConnectingNodes.Add(toid, std::move(node));
    }
    return count;
}

int32_t TUrbanPathData::ReadPathNodes(const IXmlFile& File) {
    const auto nodes = File.RecordSet("osgb:networkMember/osgb:PathNode");
    const int32_t count = nodes->Count();
    for (int32_t i = 0; i < count; ++i, nodes->Next()) {
        CheckStop();
        const std::string toid = FeatureToid(nodes->GetXField("@fid"));
        if (IsDeparted(toid)) {
            Trace("Departed Path node " + toid);
            continue;
        }
        const auto coords = nodes->Find("osgb:point/gml:Point/gml:coordinates", foNull);
        if (coords->IsNull()) {
            Trace("Path node - coordinates node missing " + toid);
            continue;
        }
        TPathNodeInformation node{toid, coords->GetValue()};
        CheckCoordinates(File, node.Coords, toid);
        fPathNodeDataList.Add(toid, std::move(node));
    }
    return count;
}

int32_t TUrbanPathData::ReadConnectingLinks(const IXmlFile& File) {
    const auto links = File.RecordSet("osgb:networkMember/osgb:ConnectingLink");
    const int32_t count = links->Count();
    for (int32_t i = 0; i < count; ++i, links->Next()) {
        CheckStop();
        const std::string toid = FeatureToid(links->GetXField("@fid"));
        if (IsDeparted(toid)) {
            Trace("Departed Connecting Link " + toid);
            continue;
        }
        TConnectingLinkInformationData link;
        link.ConnectingLinkID = toid;
        bool thrownAway = false;
        const auto ends = links->RecordSet("osgb:directedNode");
        for (int32_t j = 0, m = ends->Count(); j < m; ++j, ends->Next()) {
            const std::string node = ReferenceToid(ends->GetXField("@xlink:href"), 20);
            const std::string* xy = nullptr;
            if (const TPathNodeInformation* pathNode = fPathNodeDataList.Find(node)) {
                xy = &pathNode->Coords;
            } else if (const TConnectingNodeInformation* connectingNode = fConnectingNodes.Find(node)) {
                xy = &connectingNode->Coords;
            }
            if (!xy) {
                Trace("Connecting Link " + toid + " thrown away - end " + node + " not found ");
                thrownAway = true;
                break;
            }
            const std::string orientation = ends->GetXField("@orientation");
            if (orientation == "-") {
                link.StartNodeGradeSeparation = ends->GetXInt("@gradeSeparation");
                link.StartPoint = *xy;
            } else if (orientation == "+") {
                link.EndNodeGradeSeparation = ends->GetXInt("@gradeSeparation");
                link.Endpoint = *xy;
            }
        }
        // A link read before under the same TOID stays.
        if (!thrownAway) fConnectingLinkDataList.Add(toid, std::move(link));
    }
    return count;
}

}  // namespace itn
