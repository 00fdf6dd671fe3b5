// The attribute table of the network file and the record text of a road or ferry link.
#include <algorithm>

#include "roadjob/road_network_data.h"

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

void TRoadNetworkData::DefineNetworkTable() {
    const int32_t n = VehicleUseList.Count();
    const int32_t m = VehicleTypeList.Count();
    const int32_t routing = FOptions.Attribute2 + FOptions.AttributeC + FOptions.Attribute4 + FOptions.AvoidPattern;
    const bool shapefile = FOptions.OutputFormat == 1;

    // Room for the piece suffix "_" and two digits; more when a link may be divided into
    // more than 99 pieces.
    int32_t toidWidth = (FOptions.UrbanPathsPresent || FOptions.SplitLoopLinks) ? 19 : 16;
    const int32_t mostPieces = ConnectingNodeIndex.MostNodesOnOneLink() + 1;
    if (mostPieces > 99) toidWidth = std::max(toidWidth, 16 + 1 + DecimalDigits(mostPieces));

    Writer->StartHeader(13 + routing + n + m, otPline);
    Writer->AddField("ID", gfInteger, 0, 0);
    Writer->AddField("TOID", gfChar, CharWidth(toidWidth), 0);
    Writer->AddField("ZlevelFrom", gfSmallInt, 0, 0);
    Writer->AddField("ZlevelTo", gfSmallInt, 0, 0);
    Writer->AddField(shapefile ? "descriTerm" : "descriptiveTerm", gfChar, 40, 0);
    Writer->AddField(shapefile ? "natureRoad" : "natureOfRoad", gfChar, 40, 0);
    Writer->AddField("Version", gfSmallInt, 0, 0);
    Writer->AddField("RoadName", gfChar, CharWidth(Phase2Tables.RoadNameList.LongestLength()), 0);
    Writer->AddField("DftNumber", gfChar, CharWidth(Phase2Tables.RoadNumberList.LongestLength()), 0);
    Writer->AddField("Trunk", gfLogical, 0, 0);
    Writer->AddField("Primary", gfLogical, 0, 0);
    Writer->AddField("Oneway", gfSmallInt, 0, 0);
    Writer->AddField("maxHeight", gfSmallInt, 0, 0);
    if (FOptions.Attribute2) Writer->AddField("Attribute2", gfSmallInt, 0, 0);
    if (FOptions.AttributeC) Writer->AddField("AttributeC", gfSmallInt, 0, 0);
    if (FOptions.Attribute4) Writer->AddField("Attribute4", gfSmallInt, 0, 0);
    if (FOptions.AvoidPattern) Writer->AddField("AvoidPattern", gfSmallInt, 0, 0);
    for (int32_t i = 1; i <= n; ++i) Writer->AddField("VU" + std::to_string(i), gfDecimal, 1, 0);
    for (int32_t i = 1; i <= m; ++i) Writer->AddField("VT" + std::to_string(i), gfDecimal, 1, 0);
}

void TRoadNetworkData::WriteLinkRecord(int32_t Piece, const std::string& ZFrom, const std::string& ZTo,
                                       const TFloatPoint* Points, int32_t Count) {
    BuildLinkRecord(Piece, ZFrom, ZTo);
    Output->Add(RecordText, Points, Count);
}

void TRoadNetworkData::WriteLinkRecord(int32_t Piece, const std::string& ZFrom, const std::string& ZTo,
                                       std::string_view Coordinates) {
    BuildLinkRecord(Piece, ZFrom, ZTo);
    Output->AddCoordinates(RecordText, Coordinates);
}

void TRoadNetworkData::BuildLinkRecord(int32_t Piece, const std::string& ZFrom, const std::string& ZTo) {
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
    AppendRoutingValues(text, RoadClass, FOptions.Attribute2, FOptions.AttributeC, FOptions.Attribute4,
                        FOptions.AvoidPattern);
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
