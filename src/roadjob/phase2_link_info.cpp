// Phase 2: what roads, road route information and road link information say about road
// links: names and numbers, trunk and primary flags, one-way directions, heights, vehicle
// restrictions and turn restrictions.
#include "roadjob/phase2_link_info.h"

#include "input/native_xml.h"
#include "roadjob/feature_ids.h"

namespace itn {

using namespace std::string_view_literals;

TPhase2Pass::TPhase2Pass(const TPhase2Inputs& Inputs, bool WithTurnLinkSet)
    : In(Inputs), Feature(*Inputs.VersionList, *Inputs.DepartedFeatures) {
    T.Create(WithTurnLinkSet);
}

std::unique_ptr<TRoadPass> TPhase2Pass::ForLaterFile() const {
    return std::make_unique<TPhase2Pass>(In, T.TurnLinkSet != nullptr);
}

void TPhase2Pass::MergeLater(TRoadPass& Later) {
    T.Merge(std::move(static_cast<TPhase2Pass&>(Later).T));
}

void TPhase2Pass::ClearVehicleQualifiers() {
    CurrentVehicleUseElements.clear();
    CurrentVehicleUseValues.clear();
    CurrentVehicleTypeElements.clear();
    CurrentVehicleTypeValues.clear();
}

void TPhase2Pass::AddVehicleUse(std::string_view Name, std::string_view ExceptFor) {
    AddVehicleQualifier(Name, ExceptFor, CurrentVehicleUseElements, CurrentVehicleUseValues, *In.VehicleUseList);
}

void TPhase2Pass::AddVehicleType(std::string_view Name, std::string_view ExceptFor) {
    AddVehicleQualifier(Name, ExceptFor, CurrentVehicleTypeElements, CurrentVehicleTypeValues, *In.VehicleTypeList);
}

void TPhase2Pass::ResetMember(const TXmlNode& Node) {
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

void TPhase2Pass::NodeNew(TXmlNode& Node) {
    Feature.NodeNew(Node);
    if (Feature.Skip()) return;
    const int depth = Node.TreeDepth();
    const std::string& name = Node.Name();

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
                KeepLowestHeight(*T.HeightList, HrefOf(&Node),
                                 HeightInUnit(HeightFeet, HeightInches, HeightMetres, In.MaxHeightUnit));
            }
        }
    }
    if (InRoadMember && name == "osgb:networkMember"sv) {
        MergeRoad(*T.RoadList, HrefOf(&Node), TRoad{CurRoadNameId, CurRoadNumberId, CurTrunk, CurPrimary});
    }
}

void TPhase2Pass::StoreTurnRestriction() {
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

void TPhase2Pass::NodeLoaded(TXmlNode& Node) {
    const std::string& name = Node.Name();
    const int depth = Node.TreeDepth();
    Feature.NodeLoaded(Node);
    if (Feature.Skip()) {
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
        MergeRoad(*RoadList, Later.RoadList->Key(i), later);
    }
    for (int32_t i = 0; i < Later.HeightList->Count(); ++i)
        KeepLowestHeight(*HeightList, Later.HeightList->Key(i), Later.HeightList->Value(i));
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

}  // namespace itn
