#include "roadjob/phase3_output.h"

#include <algorithm>

#include "input/native_xml.h"
#include "roadjob/feature_ids.h"
#include "roadjob/line_location.h"
#include "roadjob/vehicle_encoding.h"

namespace itn {

using namespace std::string_view_literals;

TPhase3Pass::TPhase3Pass(TPhase3Inputs Inputs)
    : In(std::move(Inputs)),
      Options(*In.Options),
      Phase2(*In.Phase2),
      Feature(In.Phase1->Versions(), In.Phase1->DepartedFeatures()) {
    BuildRoadLinkDataIndex();
    if (Phase2.TurnLinkSet) FTurnCoords = NewHashedList<TTurnCoord>();
    LinkIdList = NewSortedList<int32_t>();
    LinkIdList->Reserve(In.Phase1->Versions().Count() / 2);
    FDefaultVehicleUse = MakeDefaultVehicleString(In.Phase1->VehicleUses().Count());
    FDefaultVehicleType = MakeDefaultVehicleString(In.Phase1->VehicleTypes().Count());
}

TPhase3Pass::~TPhase3Pass() = default;

void TPhase3Pass::Start(TAsyncFeatureWriter& Writer, int32_t RecordsBefore) {
    Output = &Writer;
    IdCounter = RecordsBefore;
}

void TPhase3Pass::BuildRoadLinkDataIndex() {
    RoadLinkDataIndex.Clear();
    const std::vector<TRoadLinkInformationData>& RoadLinkDataList = Phase2.RoadLinkDataList;
    const int32_t n = static_cast<int32_t>(RoadLinkDataList.size());
    NextRecordForLink.assign(n, -1);
    std::vector<int32_t> last;  // per index entry: the last record chained so far
    for (int32_t i = 0; i < n; ++i) {
        const std::string& toid = RoadLinkDataList[i].RoadLinkID;
        if (RoadLinkDataIndex.Add(toid, i)) {
            last.push_back(i);
        } else {
            int32_t& tail = last[RoadLinkDataIndex.IndexOf(toid)];
            NextRecordForLink[tail] = i;
            tail = i;
        }
    }
}

void TPhase3Pass::NodeNew(TXmlNode& Node) {
    Feature.NodeNew(Node);
    if (Feature.Skip()) return;
    const int depth = Node.TreeDepth();
    const std::string& name = Node.Name();

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
        Phase2.OnewayList->Prefetch(LinkTOID);
        Phase2.RoadList->Prefetch(LinkTOID);
        Phase2.HeightList->Prefetch(LinkTOID);
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

void TPhase3Pass::NodeLoaded(TXmlNode& Node) {
    const std::string& name = Node.Name();
    const int depth = Node.TreeDepth();
    Feature.NodeLoaded(Node);
    if (Feature.Skip()) {
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
        CheckCoordinates(CoordsText, Feature.Fid());
    }
    if (IsFerry && depth == 2 && name == "osgb:FerryNode"sv) {
        const std::string& fid = Feature.Fid();
        if (!FerryNodes.Contains(fid)) FerryNodes.Add(fid, TFerryNodeInformation{fid, CoordsText});
    } else if (IsFerry && name == "osgb:FerryLink"sv) {
        if (!FerryLinks.Contains(LinkTOID)) {
            const std::string& fid = Feature.Fid();
            FerryLinks.Add(fid, TFerryLinkInformation{fid, FerryFromNode, FerryToNode, "Ferry Connection"});
        }
    } else if (depth == LastDepth - 1 && name == "osgb:RoadLink"sv && !LinkIdList->Contains(LinkTOID)) {
        WriteRoadLink();
    }
    LastDepth = depth;
    if (depth >= 1) Node.Delete();
}

void TPhase3Pass::WriteRoadLink() {
    ++IdCounter;
    const int32_t* oneway = Phase2.OnewayList->Find(LinkTOID);
    LinkOneway = oneway ? *oneway : 0;
    if (const TRoad* road = Phase2.RoadList->Find(LinkTOID)) {
        LinkRoadName = road->RoadNameId == -1 ? std::string() : Phase2.RoadNameList[road->RoadNameId];
        LinkDftNumber = road->RoadNumberId == -1 ? std::string() : Phase2.RoadNumberList[road->RoadNumberId];
        LinkTrunk = road->IsTrunk;
        LinkPrimary = road->IsPrimary;
    } else {
        LinkRoadName.clear();
        LinkDftNumber.clear();
        LinkTrunk = false;
        LinkPrimary = false;
    }
    const int32_t* height = Phase2.HeightList->Find(LinkTOID);
    LinkMaxHeight = height ? *height : 0;
    LinkVersion = Feature.Version();

    // The class of a motorway, A or B road comes from its group, whatever its term says.
    if ((DescriptiveGroup == "Motorway"sv || DescriptiveGroup == "A Road"sv || DescriptiveGroup == "B Road"sv) &&
        DescriptiveTerm != DescriptiveGroup) {
        DescriptiveTerm = DescriptiveGroup;
    }
    if (DescriptiveGroup == "Ferry Connection"sv) DescriptiveTerm = "Ferry Connection";
    bool known = true;
    RoadClass = ComputeRoadClass(DescriptiveTerm, NatureOfRoad, LinkTrunk, LinkOneway, known);
    if (!known && In.AddMessage) In.AddMessage("Found unknown descriptiveTerm: " + DescriptiveTerm);

    SetLinkVehicleStrings(Feature.Fid());

    // Only a link that is divided needs all its points here; the others go to the writing
    // thread as text, after a look at their end points.
    const std::vector<int32_t> nodes = In.ConnectingNodeIndex->NodesOn(LinkTOID);
    const std::vector<TFloatPoint>& ConnectingNodePoints = *In.ConnectingNodePoints;
    TFloatPoint first, last;
    int32_t L;
    if (nodes.empty()) {
        L = ScanCoordinateEnds(CoordsText, first, last);
        if (!(Options.SplitLoopLinks && L >= 2 && first == last)) {
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
    } else if (Options.SplitLoopLinks && L >= 2 && P[0] == P[L - 1]) {
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

void TPhase3Pass::StoreTurnCoord(int32_t Splits, int32_t Count, const TFloatPoint& First,
                                      const TFloatPoint& Last) {
    if (FTurnCoords && Phase2.TurnLinkSet->Contains(LinkTOID)) {
        TTurnCoord coord;
        coord.N = Splits;
        if (Count > 0) {
            coord.coord1 = First;
            coord.coordN = Last;
        }
        FTurnCoords->Add(LinkTOID, coord);
    }
}

void TPhase3Pass::SetLinkVehicleStrings(const std::string& Toid) {
    // The index ignores letter case; a record names a link only when its TOID is the same text.
    LinkRecords.clear();
    if (const int32_t* first = RoadLinkDataIndex.Find(Toid)) {
        for (int32_t i = *first; i >= 0; i = NextRecordForLink[i]) {
            if (Phase2.RoadLinkDataList[i].RoadLinkID == Toid) LinkRecords.push_back(&Phase2.RoadLinkDataList[i]);
        }
    }
    if (LinkRecords.empty()) {
        LinkVehicleUse = FDefaultVehicleUse;
        LinkVehicleType = FDefaultVehicleType;
        return;
    }
    LinkVehicleUse = VehicleStringForRecords(LinkRecords, TVehicleKind::Use, In.Phase1->VehicleUses().Count());
    LinkVehicleType = VehicleStringForRecords(LinkRecords, TVehicleKind::Type, In.Phase1->VehicleTypes().Count());
}

void TPhase3Pass::WriteFerryLinks() {
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
    for (int32_t entry : FerryLinks.Order()) {
        const TFerryLinkInformation& ferry = FerryLinks.Value(entry);
        const int32_t* version = In.Phase1->Versions().Find(ferry.FerryLinkID);
        LinkVersion = version ? *version : 0;
        LinkTOID = ferry.FerryLinkID;
        DescriptiveTerm = ferry.term;
        const TFerryNodeInformation* from = FerryNodes.Find(ferry.FromFerryNodeID);
        const TFerryNodeInformation* to = FerryNodes.Find(ferry.ToFerryNodeID);
        if (from == nullptr || to == nullptr) continue;
        ++IdCounter;
        line.Pnt[0] = ParseCoordPair(from->Coords);
        line.Pnt[1] = ParseCoordPair(to->Coords);
        line.Count = 2;
        SetLinkVehicleStrings(ferry.FerryLinkID);
        WriteLinkRecord(0, "0", "0", line.Pnt.data(), line.Count);
    }
}

}  // namespace itn
