// Vehicle restrictions: the vocabularies of vehicle use and vehicle type names, the
// qualifiers of road link information, and the 0/1 strings written per link.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "roadjob/road_records.h"
#include "roadjob/string_lists.h"

namespace itn {

// "Invalid exceptFor value", "Internal error: cannot find vehicle: <name>" and
// "TForm1.Create_Vehicle_AttributeString : unexpected situation".
class EVehicleRestrictionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The names of one vocabulary in column order (ascending, letter case ignored).
class TVehicleVocabulary {
public:
    TVehicleVocabulary() = default;
    explicit TVehicleVocabulary(const TStringList<int32_t>& Collected);

    int32_t Count() const { return static_cast<int32_t>(FNames.size()); }
    const std::vector<std::string>& Names() const { return FNames; }
    // Column position of Name (letter case ignored), -1 when absent.
    int32_t IndexOf(std::string_view Name) const;

private:
    std::vector<std::string> FNames;
    TStringList<int32_t> FIndex;
};

TRoadLinkInstruction InstructionFromText(std::string_view Text);

// Position of Name in List; raises "Internal error: cannot find vehicle: " + Name.
int32_t IndexOfVehicle(std::string_view Name, const TVehicleVocabulary& List);

// Appends one qualifier: its vocabulary position and its exceptFor flag ("false" 0, "true" 1,
// anything else raises "Invalid exceptFor value").
void AddVehicleQualifier(std::string_view Name, std::string_view ExceptFor, TIntegerArray& Elements,
                         TIntegerArray& Values, const TVehicleVocabulary& List);

// The 0/1 values of one set of qualifiers under an instruction.
std::vector<uint8_t> VehicleFlags(const TIntegerArray& Elements, const TIntegerArray& Values, int32_t n,
                                  TRoadLinkInstruction Instruction);
// The same joined as "0"/"1" texts by ",".
std::string Create_Vehicle_AttributeString(const TIntegerArray& Elements, const TIntegerArray& Values,
                                           const TVehicleVocabulary& List, TRoadLinkInstruction Instruction);

// n times "1" joined by ","; empty for n = 0.
std::string MakeDefaultVehicleString(int32_t n);
std::string JoinVehicleFlags(const std::vector<uint8_t>& Flags);

enum class TVehicleKind { Use, Type };

// The vehicle string of a link named by the given records, in reading order: each record's
// values combined with AND (a vehicle may use the link only when every record allows it).
// An "Access Limited To" record whose qualifiers are all of the other kind leaves this kind
// unrestricted. No records: the default string.
std::string VehicleStringForRecords(const std::vector<const TRoadLinkInformationData*>& Records,
                                    TVehicleKind Kind, int32_t n);

// Writes the names one per line (CR LF, code page, no byte order mark); an empty
// vocabulary gives an empty file.
void SaveVehicleVocabulary(const TVehicleVocabulary& List, const std::string& FileName, uint16_t Codepage);

}  // namespace itn
