// Phase 3: every current road link is written, divided where connecting nodes lie on it or,
// when closed, into two halves; the ferry links follow after the pass.
#include <algorithm>

#include "input/native_xml.h"
#include "roadjob/feature_ids.h"
#include "roadjob/line_location.h"
#include "roadjob/road_network_data.h"

namespace itn {

using namespace std::string_view_literals;

void TRoadNetworkData::Phase3NodeNew(TNativeXml& /*Sender*/, TXmlNode& Node) {
    const int depth = Node.TreeDepth();
    const std::string& name = Node.Name();
    // A member element is never a feature: it always starts afresh, also after a skipped one.
    if (depth == 1) SkipFeature = false;
    if (Node.HasAttribute("fid")) {
        SkipFeature = false;
        CurrentFid = FidOf(&Node);
        Phase1Tables.VersionList->Prefetch(CurrentFid);
        CurrentVersionRead = false;
        if (Phase1Tables.DepartedFeatures->Contains(CurrentFid)) SkipFeature = true;
    }
    if (SkipFeature) return;

    if (depth == 1) {
        InNetworkMember = name == "osgb:networkMember"sv;
        LinkTOID.clear();
        DescriptiveTerm.clear();
        DescriptiveGroup.clear();
        NatureOfRoad.clear();
        CoordsText.clear();
        FerryFromNode.clear();
        FerryToNode.clear();
        ZlevelFrom = "0";
        ZlevelTo = "0";
        IsFerry = false;
    }
    if (depth == 2 && InNetworkMember) {
        if (name == "osgb:RoadNode"sv) {
            InNetworkMember = false;
            IsFerry = false;
        } else if (name == "osgb:FerryNode"sv) {
            InNetworkMember = false;
            IsFerry = true;
        }
    }
    if (name == "osgb:RoadLink"sv || name == "osgb:FerryLink"sv) {
        LinkTOID = FidOf(&Node);
        // The link's entries are looked up when it ends: start loading their table slots.
        LinkIdList->Prefetch(LinkTOID);
        Phase2Tables.OnewayList->Prefetch(LinkTOID);
        Phase2Tables.RoadList->Prefetch(LinkTOID);
        Phase2Tables.HeightList->Prefetch(LinkTOID);
        RoadLinkDataIndex.Prefetch(LinkTOID);
        IsFerry = name == "osgb:FerryLink"sv;
        FerryFromNode.clear();
        FerryToNode.clear();
    } else if (name == "osgb:directedNode"sv) {
        const std::string orientation = Node.AttributeByName("orientation");
        const std::string grade = Node.AttributeByName("gradeSeparation");
        if (orientation == "-"sv) {
            if (!grade.empty()) ZlevelFrom = grade;
            if (IsFerry) FerryFromNode = HrefOf(&Node);
        } else if (orientation == "+"sv) {
            if (!grade.empty()) ZlevelTo = grade;
            if (IsFerry) FerryToNode = HrefOf(&Node);
        }
    }
}

void TRoadNetworkData::Phase3NodeLoaded(TNativeXml& /*Sender*/, TXmlNode& Node) {
    const std::string& name = Node.Name();
    const int depth = Node.TreeDepth();
    if (name == "osgb:version"sv) {
        const int32_t* current = Phase1Tables.VersionList->Find(CurrentFid);
        if (current && *current != Node.ValueAsInteger()) SkipFeature = true;
        CurrentVersion = current ? *current : 0;
        CurrentVersionRead = true;
    }
    if (SkipFeature) {
        if (depth >= 1) Node.Delete();
        return;
    }

    if (name == "osgb:descriptiveGroup"sv) {
        DescriptiveGroup = Node.ValueAsString();
    } else if (name == "osgb:descriptiveTerm"sv) {
        DescriptiveTerm = Node.ValueAsString();
    } else if (name == "osgb:natureOfRoad"sv) {
        NatureOfRoad = Node.ValueAsString();
    } else if (name == "gml:coordinates"sv) {
        CoordsText = Node.ValueAsString();
        CheckCoordinates(CoordsText, CurrentFid);
    }
    if (IsFerry && depth == 2 && name == "osgb:FerryNode"sv) {
        if (!fFerryNodeDataList.Contains(CurrentFid))
            fFerryNodeDataList.Add(CurrentFid, TFerryNodeInformation{CurrentFid, CoordsText});
    } else if (IsFerry && name == "osgb:FerryLink"sv) {
        if (!fFerryLinkDataList.Contains(LinkTOID)) {
            fFerryLinkDataList.Add(CurrentFid,
                                   TFerryLinkInformation{CurrentFid, FerryFromNode, FerryToNode, "Ferry Connection"});
        }
    } else if (depth == LastDepth - 1 && name == "osgb:RoadLink"sv && !LinkIdList->Contains(LinkTOID)) {
        WriteRoadLink();
    }
    LastDepth = depth;
    if (depth >= 1) Node.Delete();
}

void TRoadNetworkData::WriteRoadLink() {
    ++IdCounter;
    const int32_t* oneway = Phase2Tables.OnewayList->Find(LinkTOID);
    LinkOneway = oneway ? *oneway : 0;
    if (const TRoad* road = Phase2Tables.RoadList->Find(LinkTOID)) {
        LinkRoadName = road->RoadNameId == -1 ? std::string() : Phase2Tables.RoadNameList[road->RoadNameId];
        LinkDftNumber = road->RoadNumberId == -1 ? std::string() : Phase2Tables.RoadNumberList[road->RoadNumberId];
        LinkTrunk = road->IsTrunk;
        LinkPrimary = road->IsPrimary;
    } else {
        LinkRoadName.clear();
        LinkDftNumber.clear();
        LinkTrunk = false;
        LinkPrimary = false;
    }
    const int32_t* height = Phase2Tables.HeightList->Find(LinkTOID);
    LinkMaxHeight = height ? *height : 0;
    if (CurrentVersionRead) {
        LinkVersion = CurrentVersion;
    } else {
        const int32_t* version = Phase1Tables.VersionList->Find(CurrentFid);
        LinkVersion = version ? *version : 0;
    }

    // The class of a motorway, A or B road comes from its group, whatever its term says.
    if ((DescriptiveGroup == "Motorway"sv || DescriptiveGroup == "A Road"sv || DescriptiveGroup == "B Road"sv) &&
        DescriptiveTerm != DescriptiveGroup) {
        DescriptiveTerm = DescriptiveGroup;
    }
    if (DescriptiveGroup == "Ferry Connection"sv) DescriptiveTerm = "Ferry Connection";
    bool known = true;
    RoadClass = ComputeRoadClass(DescriptiveTerm, NatureOfRoad, LinkTrunk, LinkOneway, known);
    if (!known) AddMessage("Found unknown descriptiveTerm: " + DescriptiveTerm);

    SetLinkVehicleStrings(CurrentFid);

    // Only a link that is divided needs all its points here; the others go to the writing
    // thread as text, after a look at their end points.
    const std::vector<int32_t> nodes = ConnectingNodeIndex.NodesOn(LinkTOID);
    TFloatPoint first, last;
    int32_t L;
    if (nodes.empty()) {
        L = ScanCoordinateEnds(CoordsText, first, last);
        if (!(FOptions.SplitLoopLinks && L >= 2 && first == last)) {
            WriteLinkRecord(0, ZlevelFrom, ZlevelTo, CoordsText);
            StoreTurnCoord(0, L, first, last);
            return;
        }
    }
    ParseCoordinates(CoordsText, LinkPoints);
    const TFloatPoint* P = LinkPoints.Pnt.data();
    L = LinkPoints.Count;
    if (L > 0) {
        first = P[0];
        last = P[L - 1];
    }

    Splits.clear();
    for (int32_t k : nodes) {
        const TPointOnLine at = LocatePointOnLine(ConnectingNodePoints[k], P, L);
        // A node at either end of the link divides nothing.
        if (at.percent != 0 && at.percent != 1) Splits.push_back(TSplit{at.percent, k, at.pntindex});
    }
    const int32_t s = static_cast<int32_t>(Splits.size());
    if (s > 0) {
        std::stable_sort(Splits.begin(), Splits.end(),
                         [](const TSplit& a, const TSplit& b) { return a.percent < b.percent; });
        for (int32_t r = 0; r <= s; ++r) {
            const int32_t u = r == 0 ? 0 : Splits[r - 1].pntindex;
            const int32_t e = r == s ? L - 1 : Splits[r].pntindex - 1;
            PiecePoints.Pnt.clear();
            if (r > 0) PiecePoints.Pnt.push_back(ConnectingNodePoints[Splits[r - 1].j]);
            for (int32_t v = u; v <= e; ++v) PiecePoints.Pnt.push_back(P[v]);
            if (r < s) PiecePoints.Pnt.push_back(ConnectingNodePoints[Splits[r].j]);
            PiecePoints.Count = static_cast<int32_t>(PiecePoints.Pnt.size());
            WriteLinkRecord(r + 1, r == 0 ? ZlevelFrom : "0", r == s ? ZlevelTo : "0", PiecePoints.Pnt.data(),
                            PiecePoints.Count);
            if (r < s) ++IdCounter;
        }
    } else if (FOptions.SplitLoopLinks && L >= 2 && P[0] == P[L - 1]) {
        // The two halves share the middle vertex.
        const int32_t h = (L - 1) / 2;
        WriteLinkRecord(1, ZlevelFrom, "0", P, h + 1);
        ++IdCounter;
        WriteLinkRecord(2, "0", ZlevelTo, P + h, L - h);
    } else {
        WriteLinkRecord(0, ZlevelFrom, ZlevelTo, P, L);
    }
    StoreTurnCoord(s, L, first, last);
}

void TRoadNetworkData::StoreTurnCoord(int32_t Splits, int32_t Count, const TFloatPoint& First,
                                      const TFloatPoint& Last) {
    if (Phase2Tables.TurnLinkSet && Phase2Tables.TurnLinkSet->Contains(LinkTOID)) {
        TTurnCoord coord;
        coord.N = Splits;
        if (Count > 0) {
            coord.coord1 = First;
            coord.coordN = Last;
        }
        TurnCoords->Add(LinkTOID, coord);
    }
}

void TRoadNetworkData::SetLinkVehicleStrings(const std::string& Toid) {
    // The index ignores letter case; a record names a link only when its TOID is the same text.
    LinkRecords.clear();
    if (const int32_t* first = RoadLinkDataIndex.Find(Toid)) {
        for (int32_t i = *first; i >= 0; i = NextRecordForLink[i]) {
            if (Phase2Tables.RoadLinkDataList[i].RoadLinkID == Toid) LinkRecords.push_back(&Phase2Tables.RoadLinkDataList[i]);
        }
    }
    if (LinkRecords.empty()) {
        LinkVehicleUse = DefaultVehicleUseString;
        LinkVehicleType = DefaultVehicleTypeString;
        return;
    }
    LinkVehicleUse = VehicleStringForRecords(LinkRecords, TVehicleKind::Use, VehicleUseList.Count());
    LinkVehicleType = VehicleStringForRecords(LinkRecords, TVehicleKind::Type, VehicleTypeList.Count());
}

void TRoadNetworkData::WriteFerryLinks() {
    RoadClass = FerryRoadClass();
    LinkOneway = 0;
    LinkMaxHeight = 0;
    NatureOfRoad.clear();
    LinkRoadName.clear();
    LinkDftNumber.clear();
    LinkTrunk = false;
    LinkPrimary = false;
    TFloatPointArrayEx line;
    line.Pnt.resize(2);
    line.Count = 2;
    for (int32_t entry : fFerryLinkDataList.Order()) {
        const TFerryLinkInformation& ferry = fFerryLinkDataList.Value(entry);
        CurrentFid = ferry.FerryLinkID;
        const int32_t* version = Phase1Tables.VersionList->Find(CurrentFid);
        LinkVersion = version ? *version : 0;
        LinkTOID = ferry.FerryLinkID;
        DescriptiveTerm = ferry.term;
        const TFerryNodeInformation* from = fFerryNodeDataList.Find(ferry.FromFerryNodeID);
        const TFerryNodeInformation* to = fFerryNodeDataList.Find(ferry.ToFerryNodeID);
        if (from == nullptr || to == nullptr) continue;
        ++IdCounter;
        line.Pnt[0] = ParseCoordPair(from->Coords);
        line.Pnt[1] = ParseCoordPair(to->Coords);
        line.Count = 2;
        SetLinkVehicleStrings(CurrentFid);
        WriteLinkRecord(0, "0", "0", line.Pnt.data(), line.Count);
    }
}

}  // namespace itn
