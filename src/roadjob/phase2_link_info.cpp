// Phase 2: what roads, road route information and road link information say about road
// links: names and numbers, trunk and primary flags, one-way directions, heights, vehicle
// restrictions and turn restrictions.
#include "roadjob/phase2_link_info.h"

#include "input/native_xml.h"
#include "roadjob/feature_ids.h"
#include "roadjob/road_network_data.h"

namespace itn {

using namespace std::string_view_literals;

void TPhase2Collector::ClearVehicleQualifiers() {
    CurrentVehicleUseElements.clear();
    CurrentVehicleUseValues.clear();
    CurrentVehicleTypeElements.clear();
    CurrentVehicleTypeValues.clear();
}

void TPhase2Collector::AddVehicleUse(std::string_view Name, std::string_view ExceptFor) {
    AddVehicleQualifier(Name, ExceptFor, CurrentVehicleUseElements, CurrentVehicleUseValues, *In.VehicleUseList);
}

void TPhase2Collector::AddVehicleType(std::string_view Name, std::string_view ExceptFor) {
    AddVehicleQualifier(Name, ExceptFor, CurrentVehicleTypeElements, CurrentVehicleTypeValues, *In.VehicleTypeList);
}

void TPhase2Collector::ResetMember(const TXmlNode& Node) {
    CurRoadNameId = -1;
    CurRoadNumberId = -1;
    InRoadMember = Node.Name() == "osgb:roadMember"sv;
    InRoadInfoMember = Node.Name() == "osgb:roadInformationMember"sv;
    InstructionText.clear();
    CurTrunk = false;
    CurPrimary = false;
    HeightFeet = 0;
    HeightInches = 0;
    HeightMetres = 0;
    // A road link information element that was skipped after its start must not lend its
    // qualifiers to a reference in a later member.
    InsideRoadLinkInformationTag = false;
}

void TPhase2Collector::NodeNew(TXmlNode& Node) {
    const int depth = Node.TreeDepth();
    const std::string& name = Node.Name();
    // A member element is never a feature: it always starts afresh, also after a skipped one.
    if (depth == 1) SkipFeature = false;
    if (Node.HasAttribute("fid")) {
        SkipFeature = false;
        CurrentFid = FidOf(&Node);
        In.VersionList->Prefetch(CurrentFid);
        if (In.DepartedFeatures->Contains(CurrentFid)) SkipFeature = true;
    }
    if (SkipFeature) return;

    if (depth == 1) ResetMember(Node);
    if (depth == 2 && name == "osgb:RoadLinkInformation"sv) {
        ClearVehicleQualifiers();
        InsideRoadLinkInformationTag = true;
    }
    if (name == "osgb:referenceToRoadLink"sv && InsideRoadLinkInformationTag) {
        T.RoadLinkDataList.push_back(TRoadLinkInformationData{HrefOf(&Node), CurrentVehicleUseElements,
                                                            CurrentVehicleUseValues, CurrentVehicleTypeElements,
                                                            CurrentVehicleTypeValues,
                                                            InstructionFromText(InstructionText)});
    }
    if (InRoadInfoMember) {
        if (name == "osgb:directedLink"sv) {
            if (InstructionText == "One Way"sv) {
                T.OnewayList->Add(HrefOf(&Node), Node.AttributeByName("orientation") == "+"sv ? 1 : 2);
            } else if (In.TurnRestrictions) {
                if (InstructionText == "No Turn"sv) {
                    NoTurnLinks.push_back(HrefOf(&Node));
                } else if (InstructionText == "Mandatory Turn"sv) {
                    MandatoryTurnLinks.push_back(HrefOf(&Node));
                }
            }
        } else if (name == "osgb:referenceToRoadLink"sv) {
            if (static_cast<int64_t>(HeightFeet) + HeightInches != 0 || HeightMetres != 0) {
                const int32_t h = HeightInUnit(HeightFeet, HeightInches, HeightMetres, In.MaxHeightUnit);
                // Under two bridges the lower one limits the route.
                bool added;
                int32_t* known = T.HeightList->FindOrAdd(HrefOf(&Node), h, added);
                if (!added && h < *known) *known = h;
            }
        }
    }
    if (InRoadMember && name == "osgb:networkMember"sv) {
        bool added;
        TRoad* road = T.RoadList->FindOrAdd(HrefOf(&Node), TRoad{CurRoadNameId, CurRoadNumberId, CurTrunk, CurPrimary},
                                          added);
        // A link of several roads takes the last name and number and keeps a trunk or primary flag.
        if (!added) {
            if (CurRoadNameId != -1) road->RoadNameId = CurRoadNameId;
            if (CurRoadNumberId != -1) road->RoadNumberId = CurRoadNumberId;
            if (CurTrunk) road->IsTrunk = true;
            if (CurPrimary) road->IsPrimary = true;
        }
    }
}

void TPhase2Collector::StoreTurnRestriction() {
    if (!NoTurnLinks.empty()) {
        if (T.TurnLinkSet) {
            for (const std::string& toid : NoTurnLinks) T.TurnLinkSet->Add(toid, 0);
        }
        if (NoTurnLinks.size() == 2) {
            T.Turns.NoTurnFromList.push_back(NoTurnLinks[0]);
            T.Turns.NoTurnToList.push_back(NoTurnLinks[1]);
        } else {
            std::string sequence;
            for (const std::string& toid : NoTurnLinks) sequence += toid + " ";
            T.Turns.NoTurnSequenceList.push_back(sequence);
        }
        NoTurnLinks.clear();
    }
    if (!MandatoryTurnLinks.empty()) {
        if (T.TurnLinkSet) {
            for (const std::string& toid : MandatoryTurnLinks) T.TurnLinkSet->Add(toid, 0);
        }
        // A Mandatory Turn of another length than two links is not kept.
        if (MandatoryTurnLinks.size() == 2) {
            T.Turns.MandatoryTurnFromList.push_back(MandatoryTurnLinks[0]);
            T.Turns.MandatoryTurnToList.push_back(MandatoryTurnLinks[1]);
        }
        MandatoryTurnLinks.clear();
    }
}

void TPhase2Collector::NodeLoaded(TXmlNode& Node) {
    const std::string& name = Node.Name();
    const int depth = Node.TreeDepth();
    if (name == "osgb:version"sv) {
        const int32_t* current = In.VersionList->Find(CurrentFid);
        if (current && *current != Node.ValueAsInteger()) SkipFeature = true;
    }
    if (SkipFeature) {
        // Nothing reads the nodes of a skipped feature.
        if (depth >= 1) Node.Delete();
        return;
    }

    if (depth == 4) {
        if (name == "osgb:use"sv) {
            AddVehicleUse(Node.ValueAsString(), Node.AttributeByName("exceptFor"));
        } else if (name == "osgb:type"sv) {
            AddVehicleType(Node.ValueAsString(), Node.AttributeByName("exceptFor"));
        }
    }
    if (depth == 2 && name == "osgb:RoadLinkInformation"sv) InsideRoadLinkInformationTag = false;
    if (name == "osgb:descriptiveTerm"sv) {
        const std::string term = Node.ValueAsString();
        if (term == "Primary Route"sv) CurPrimary = true;
        if (term == "Trunk Road"sv) CurTrunk = true;
    }
    if (name == "osgb:roadName"sv) {
        const std::string value = Node.ValueAsString();
        if (IsRoadNumber(value)) {
            CurRoadNumberId = T.RoadNumberList.IndexOfOrAdd(value);
        } else {
            CurRoadNameId = T.RoadNameList.IndexOfOrAdd(value);
        }
    } else if (name == "osgb:instruction"sv) {
        InstructionText = Node.ValueAsString();
    } else if (name == "osgb:feet"sv) {
        HeightFeet = Node.ValueAsInteger();
    } else if (name == "osgb:inches"sv) {
        HeightInches = Node.ValueAsInteger();
    } else if (name == "osgb:maxheight"sv) {
        HeightMetres = Node.ValueAsFloat();
    }
    if (In.TurnRestrictions && depth == LastDepth - 1 && name == "osgb:RoadRouteInformation"sv) {
        StoreTurnRestriction();
    }
    LastDepth = depth;
    if (depth >= 1) Node.Delete();
}

void TPhase2Tables::Create(bool WithTurnLinkSet) {
    OnewayList = NewHashedList<int32_t>();
    RoadNameList = TPlainList();
    RoadNumberList = TPlainList();
    RoadList = NewSortedList<TRoad>();
    HeightList = NewSortedList<int32_t>();
    RoadLinkDataList.clear();
    Turns = TTurnRestrictions();
    TurnLinkSet.reset();
    if (WithTurnLinkSet) TurnLinkSet = NewSortedList<int32_t>();
}

namespace {

template <typename T>
void Append(std::vector<T>& To, std::vector<T>&& From) {
    To.insert(To.end(), std::make_move_iterator(From.begin()), std::make_move_iterator(From.end()));
}

}  // namespace

void TPhase2Tables::Merge(TPhase2Tables&& Later) {
    for (int32_t i = 0; i < Later.OnewayList->Count(); ++i) OnewayList->Add(Later.OnewayList->Key(i), Later.OnewayList->Value(i));
    // Positions of the later file's names and numbers in these lists.
    std::vector<int32_t> names, numbers;
    for (const std::string& name : Later.RoadNameList.Items()) names.push_back(RoadNameList.IndexOfOrAdd(name));
    for (const std::string& number : Later.RoadNumberList.Items()) numbers.push_back(RoadNumberList.IndexOfOrAdd(number));
    for (int32_t i = 0; i < Later.RoadList->Count(); ++i) {
        TRoad later = Later.RoadList->Value(i);
        if (later.RoadNameId != -1) later.RoadNameId = names[later.RoadNameId];
        if (later.RoadNumberId != -1) later.RoadNumberId = numbers[later.RoadNumberId];
        bool added;
        TRoad* road = RoadList->FindOrAdd(Later.RoadList->Key(i), later, added);
        if (!added) {
            if (later.RoadNameId != -1) road->RoadNameId = later.RoadNameId;
            if (later.RoadNumberId != -1) road->RoadNumberId = later.RoadNumberId;
            if (later.IsTrunk) road->IsTrunk = true;
            if (later.IsPrimary) road->IsPrimary = true;
        }
    }
    for (int32_t i = 0; i < Later.HeightList->Count(); ++i) {
        bool added;
        int32_t* known = HeightList->FindOrAdd(Later.HeightList->Key(i), Later.HeightList->Value(i), added);
        if (!added && Later.HeightList->Value(i) < *known) *known = Later.HeightList->Value(i);
    }
    Append(RoadLinkDataList, std::move(Later.RoadLinkDataList));
    Append(Turns.NoTurnFromList, std::move(Later.Turns.NoTurnFromList));
    Append(Turns.NoTurnToList, std::move(Later.Turns.NoTurnToList));
    Append(Turns.MandatoryTurnFromList, std::move(Later.Turns.MandatoryTurnFromList));
    Append(Turns.MandatoryTurnToList, std::move(Later.Turns.MandatoryTurnToList));
    Append(Turns.NoTurnSequenceList, std::move(Later.Turns.NoTurnSequenceList));
    if (TurnLinkSet && Later.TurnLinkSet) {
        for (int32_t i = 0; i < Later.TurnLinkSet->Count(); ++i) TurnLinkSet->Add(Later.TurnLinkSet->Key(i), 0);
    }
}

void TRoadNetworkData::Phase2NodeNew(TNativeXml& /*Sender*/, TXmlNode& Node) {
    Phase2->NodeNew(Node);
}

void TRoadNetworkData::Phase2NodeLoaded(TNativeXml& /*Sender*/, TXmlNode& Node) {
    Phase2->NodeLoaded(Node);
}

void TRoadNetworkData::BuildRoadLinkDataIndex() {
    RoadLinkDataIndex.Clear();
    const std::vector<TRoadLinkInformationData>& RoadLinkDataList = Phase2Tables.RoadLinkDataList;
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

}  // namespace itn
