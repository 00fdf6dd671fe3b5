// The attribute table of the network file and the record text of a road or ferry link.
#include <algorithm>

#include "roadjob/phase3_output.h"

namespace itn {

namespace {

constexpr int32_t kMaxCharWidth = 254;

uint8_t CharWidth(int32_t Width) {
    return static_cast<uint8_t>(std::clamp(Width, 0, kMaxCharWidth));
}

int32_t DecimalDigits(int32_t Value) {
    int32_t digits = 1;
    while (Value >= 10) {
        Value /= 10;
        ++digits;
    }
    return digits;
}

// A text value in double quotes; an inner double quote is doubled, which the attribute
// text rules read back as one.
void AppendQuoted(std::string& Text, std::string_view Value) {
    Text += '"';
    if (Value.find('"') == std::string_view::npos) {
        Text += Value;
    } else {
        for (char c : Value) {
            if (c == '"') Text += '"';
            Text += c;
        }
    }
    Text += '"';
}

}  // namespace

void TPhase3Pass::DefineNetworkTable(TGISWrite& Writer) const {
    const int32_t n = In.Phase1->VehicleUses().Count();
    const int32_t m = In.Phase1->VehicleTypes().Count();
    const int32_t routing = Options.Attribute2 + Options.AttributeC + Options.Attribute4 + Options.AvoidPattern;
    const bool shapefile = Options.OutputFormat == TOutputFormat::Shp;

    // Room for the piece suffix "_" and two digits; more when a link may be divided into
    // more than 99 pieces.
    int32_t toidWidth = (Options.UrbanPathsPresent || Options.SplitLoopLinks) ? 19 : 16;
    const int32_t mostPieces = In.ConnectingNodeIndex->MostNodesOnOneLink() + 1;
    if (mostPieces > 99) toidWidth = std::max(toidWidth, 16 + 1 + DecimalDigits(mostPieces));

    Writer.StartHeader(13 + routing + n + m, otPline);
    Writer.AddField("ID", gfInteger, 0, 0);
    Writer.AddField("TOID", gfChar, CharWidth(toidWidth), 0);
    Writer.AddField("ZlevelFrom", gfSmallInt, 0, 0);
    Writer.AddField("ZlevelTo", gfSmallInt, 0, 0);
    Writer.AddField(shapefile ? "descriTerm" : "descriptiveTerm", gfChar, 40, 0);
    Writer.AddField(shapefile ? "natureRoad" : "natureOfRoad", gfChar, 40, 0);
    Writer.AddField("Version", gfSmallInt, 0, 0);
    Writer.AddField("RoadName", gfChar, CharWidth(Phase2.RoadNameList.LongestLength()), 0);
    Writer.AddField("DftNumber", gfChar, CharWidth(Phase2.RoadNumberList.LongestLength()), 0);
    Writer.AddField("Trunk", gfLogical, 0, 0);
    Writer.AddField("Primary", gfLogical, 0, 0);
    Writer.AddField("Oneway", gfSmallInt, 0, 0);
    Writer.AddField("maxHeight", gfSmallInt, 0, 0);
    if (Options.Attribute2) Writer.AddField("Attribute2", gfSmallInt, 0, 0);
    if (Options.AttributeC) Writer.AddField("AttributeC", gfSmallInt, 0, 0);
    if (Options.Attribute4) Writer.AddField("Attribute4", gfSmallInt, 0, 0);
    if (Options.AvoidPattern) Writer.AddField("AvoidPattern", gfSmallInt, 0, 0);
    for (int32_t i = 1; i <= n; ++i) Writer.AddField("VU" + std::to_string(i), gfDecimal, 1, 0);
    for (int32_t i = 1; i <= m; ++i) Writer.AddField("VT" + std::to_string(i), gfDecimal, 1, 0);
}

void TPhase3Pass::WriteLinkRecord(int32_t Piece, const std::string& ZFrom, const std::string& ZTo,
                                       const TFloatPoint* Points, int32_t Count) {
    BuildLinkRecord(Piece, ZFrom, ZTo);
    Output->Add(RecordText, Points, Count);
}

void TPhase3Pass::WriteLinkRecord(int32_t Piece, const std::string& ZFrom, const std::string& ZTo,
                                       std::string_view Coordinates) {
    BuildLinkRecord(Piece, ZFrom, ZTo);
    Output->AddCoordinates(RecordText, Coordinates);
}

void TPhase3Pass::BuildLinkRecord(int32_t Piece, const std::string& ZFrom, const std::string& ZTo) {
    std::string& text = RecordText;
    text.clear();
    text += std::to_string(IdCounter);
    text += ',';
    if (Piece > 0) {
        AppendQuoted(text, LinkTOID + "_" + std::to_string(Piece));
    } else {
        AppendQuoted(text, LinkTOID);
    }
    text += ',';
    text += ZFrom;
    text += ',';
    text += ZTo;
    text += ',';
    AppendQuoted(text, DescriptiveTerm);
    text += ',';
    AppendQuoted(text, NatureOfRoad);
    text += ',';
    text += std::to_string(LinkVersion);
    text += ',';
    AppendQuoted(text, LinkRoadName);
    text += ',';
    AppendQuoted(text, LinkDftNumber);
    text += LinkTrunk ? ",True" : ",False";
    text += LinkPrimary ? ",True," : ",False,";
    text += std::to_string(LinkOneway);
    text += ',';
    text += std::to_string(LinkMaxHeight);
    AppendRoutingValues(text, RoadClass, Options.Attribute2, Options.AttributeC, Options.Attribute4,
                        Options.AvoidPattern);
    if (!LinkVehicleUse.empty()) {
        text += ',';
        text += LinkVehicleUse;
    }
    if (!LinkVehicleType.empty()) {
        text += ',';
        text += LinkVehicleType;
    }
    LinkIdList->Add(LinkTOID, IdCounter);
}

}  // namespace itn
