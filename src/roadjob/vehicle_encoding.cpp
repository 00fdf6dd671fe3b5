#include "roadjob/vehicle_encoding.h"

#include "io/text_file_writer.h"

namespace itn {

TVehicleVocabulary::TVehicleVocabulary(const TStringList<int32_t>& Collected) {
    for (int32_t entry : Collected.Order()) {
        FIndex.Add(Collected.Key(entry), Count());
        FNames.emplace_back(Collected.Key(entry));
    }
}

int32_t TVehicleVocabulary::IndexOf(std::string_view Name) const {
    const int32_t* position = FIndex.Find(Name);
    return position ? *position : -1;
}

TRoadLinkInstruction InstructionFromText(std::string_view Text) {
    if (Text == "Access Prohibited To") return rliAccessProhibitedTo;
    if (Text == "Access Limited To") return rliAccessLimitedTo;
    return rliNone;
}

int32_t IndexOfVehicle(std::string_view Name, const TVehicleVocabulary& List) {
    const int32_t k = List.IndexOf(Name);
    if (k < 0) throw EVehicleRestrictionError("Internal error: cannot find vehicle: " + std::string(Name));
    return k;
}

void AddVehicleQualifier(std::string_view Name, std::string_view ExceptFor, TIntegerArray& Elements,
                         TIntegerArray& Values, const TVehicleVocabulary& List) {
    const int32_t k = IndexOfVehicle(Name, List);
    int32_t flag;
    if (ExceptFor == "false") {
        flag = 0;
    } else if (ExceptFor == "true") {
        flag = 1;
    } else {
        throw EVehicleRestrictionError("Invalid exceptFor value");
    }
    Elements.push_back(k);
    Values.push_back(flag);
}

std::vector<uint8_t> VehicleFlags(const TIntegerArray& Elements, const TIntegerArray& Values, int32_t n,
                                  TRoadLinkInstruction Instruction) {
    std::vector<uint8_t> flags;
    switch (Instruction) {
        case rliAccessLimitedTo:
            // Only the named vehicles may pass; exceptFor reverses the statement for one.
            flags.assign(n, 0);
            for (size_t i = 0; i < Elements.size(); ++i) flags[Elements[i]] = Values[i] == 0 ? 1 : 0;
            break;
        case rliAccessProhibitedTo:
            flags.assign(n, 1);
            for (size_t i = 0; i < Elements.size(); ++i) flags[Elements[i]] = Values[i] == 0 ? 0 : 1;
            break;
        case rliNone:
            if (!Values.empty())
                throw EVehicleRestrictionError("TForm1.Create_Vehicle_AttributeString : unexpected situation");
            flags.assign(n, 1);
            break;
    }
    return flags;
}

std::string JoinVehicleFlags(const std::vector<uint8_t>& Flags) {
    std::string text;
    text.reserve(Flags.size() * 2);
    for (size_t i = 0; i < Flags.size(); ++i) {
        if (i > 0) text += ',';
        text += Flags[i] ? '1' : '0';
    }
    return text;
}

std::string Create_Vehicle_AttributeString(const TIntegerArray& Elements, const TIntegerArray& Values,
                                           const TVehicleVocabulary& List, TRoadLinkInstruction Instruction) {
    return JoinVehicleFlags(VehicleFlags(Elements, Values, List.Count(), Instruction));
}

std::string MakeDefaultVehicleString(int32_t n) {
    return JoinVehicleFlags(std::vector<uint8_t>(n, 1));
}

std::string VehicleStringForRecords(const std::vector<const TRoadLinkInformationData*>& Records,
                                    TVehicleKind Kind, int32_t n) {
    std::vector<uint8_t> combined(n, 1);
    for (const TRoadLinkInformationData* record : Records) {
        const bool use = Kind == TVehicleKind::Use;
        const TIntegerArray& elements = use ? record->VehicleUseElements : record->VehicleTypeElements;
        const TIntegerArray& values = use ? record->VehicleUseValues : record->VehicleTypeValues;
        const TIntegerArray& otherElements = use ? record->VehicleTypeElements : record->VehicleUseElements;
        // "Access Limited To" buses (a type) says nothing about vehicle uses.
        if (record->RoadLinkInstruction == rliAccessLimitedTo && elements.empty() && !otherElements.empty())
            continue;
        const std::vector<uint8_t> flags = VehicleFlags(elements, values, n, record->RoadLinkInstruction);
        for (int32_t i = 0; i < n; ++i) combined[i] &= flags[i];
    }
    return JoinVehicleFlags(combined);
}

void SaveVehicleVocabulary(const TVehicleVocabulary& List, const std::string& FileName, uint16_t Codepage) {
    TTextFileWriter file(FileName, Codepage, false);
    for (const std::string& name : List.Names()) file.writeln(name);
    file.Close();
}

}  // namespace itn
