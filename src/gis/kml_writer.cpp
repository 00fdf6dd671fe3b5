#include "gis/kml_writer.h"

#include <cstdio>
#include <exception>
#include <filesystem>

#include "gis/gis_functions.h"

namespace itn {

namespace {

constexpr const char* kKmlNamespace = "http://www.opengis.net/kml/2.2";
constexpr const char* kPointIcon = "http://maps.google.com/mapfiles/kml/shapes/placemark_circle.png";
constexpr size_t kFlushSize = 1 << 16;

// Six hexadecimal digits of a stored 0x00BBGGRR colour: the blue-green-red order KML expects.
std::string Hex6(uint32_t color) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06X", color);
    return buf;
}

}  // namespace

TGISWriteKML2::TGISWriteKML2() = default;
TGISWriteKML2::~TGISWriteKML2() = default;

void TGISWriteKML2::Line(std::string_view text) {
    FBuf += text;
    FBuf += "\r\n";
}

void TGISWriteKML2::FlushIfFull() {
    if (FBuf.size() < kFlushSize || !FOutKML) return;
    FOutKML->write(FBuf);
    FBuf.clear();
}

void TGISWriteKML2::StartHeader(int32_t NumFields, TObjectTypes ObjectTypes) {
    TGISWrite::StartHeader(NumFields, ObjectTypes);
    FBuf.clear();
    FOutKML = std::make_unique<TTextFileWriter>(FileName + ".kml", kCodepageUtf8, true);
    Line("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>");
    Line(std::string("<kml xmlns=\"") + kKmlNamespace + "\">");
    Line("<Document>");
    Line("<name>" + std::filesystem::path(FileName).filename().string() + "</name>");
    switch (ObjectTypes) {
        case otRegion:
            for (const char* l : {"<Style id=\"region\">", "<LineStyle>", "<color>ff000000</color>", "<width>0</width>",
                                  "</LineStyle>", "<PolyStyle>", "<color>7fffffff</color>", "<outline>0</outline>",
                                  "</PolyStyle>", "</Style>"})
                Line(l);
            break;
        case otPline:
            for (const char* l : {"<Style id=\"pline\">", "<LineStyle>", "<color>ff0000ff</color>", "<width>2</width>",
                                  "</LineStyle>", "</Style>"})
                Line(l);
            break;
        case otPoint:
            for (const char* l : {"<Style id=\"point\">", "<IconStyle>", "<color>ff00ff00</color>", "<scale>0.8</scale>",
                                  "<Icon>"})
                Line(l);
            Line(std::string("<href>") + kPointIcon + "</href>");
            for (const char* l : {"</Icon>", "</IconStyle>", "</Style>"}) Line(l);
            break;
        case otNone: break;
    }
}

void TGISWriteKML2::WriteAttributes(const std::string& Attrib) {
    SplitAttributes(Attrib);
    FWrittenRecords += 1;
    if (FNumFields <= 0) return;
    Line("<description>");
    FBuf += "<![CDATA[";
    for (int32_t i = 1; i <= FNumFields; ++i) {
        const TFieldInfo& info = FFieldInfo[i];
        const std::string& v = FSL[i - 1];
        FBuf += info.Name;
        FBuf += ": ";
        switch (info.FieldType) {
            case gfLogical: FBuf += IsTrueText(v) ? "True" : "False"; break;
            case gfDate:
                if (v.size() == 8) FBuf.append(v, 0, 4).append("-").append(v, 4, 2).append("-").append(v, 6, 2);
                break;
            case gfTime:
                if (v.size() == 9)
                    FBuf.append(v, 0, 2).append(":").append(v, 2, 2).append(":").append(v, 4, 2).append(".").append(v, 6, 3);
                break;
            case gfDateTime:
                if (v.size() == 17) {
                    FBuf.append(v, 0, 4).append("-").append(v, 4, 2).append("-").append(v, 6, 2).append("T");
                    FBuf.append(v, 8, 2).append(":").append(v, 10, 2).append(":").append(v, 12, 2).append(".").append(v, 14, 3);
                }
                break;
            default:
                if (!AppendXmlEscape(FBuf, v)) NoteDroppedCharacters();
                break;
        }
        FBuf += "<br>";
    }
    Line("]]>");
    Line("</description>");
}

void TGISWriteKML2::StartObject(int32_t NumParts, const std::string& Attrib) {
    TGISWrite::StartObject(NumParts, Attrib);
    Line("<Placemark>");
    Line("<name>Record: " + std::to_string(FWrittenRecords) + "</name>");
    if (FObjectTypes == otPline) {
        if (Pen.Color == 0) {
            Line("<styleUrl>#pline</styleUrl>");
        } else {
            Line("<Style>");
            Line("<LineStyle>");
            Line("<color>FF" + Hex6(Pen.Color) + "</color>");
            Line("<width>2</width>");
            Line("</LineStyle>");
            Line("</Style>");
        }
    } else if (FObjectTypes == otRegion) {
        if (Brush.fg_color == 0xFFFFFF) {
            Line("<styleUrl>#region</styleUrl>");
        } else {
            for (const char* l : {"<Style>", "<LineStyle>", "<color>ff000000</color>", "<width>0</width>", "</LineStyle>",
                                  "<PolyStyle>"})
                Line(l);
            Line("<color>7F" + Hex6(Brush.fg_color) + "</color>");
            for (const char* l : {"<outline>0</outline>", "</PolyStyle>", "</Style>"}) Line(l);
        }
    }
    WriteAttributes(Attrib);
    if (NumParts <= 0) {
        Line("</Placemark>");
        FlushIfFull();
    } else if (FObjectTypes == otPline || FObjectTypes == otRegion) {
        Line("<MultiGeometry>");
    }
    Fprevious = false;
}

void TGISWriteKML2::WriteCoordinates(const TFloatPointArrayEx& SegList) {
    FBuf += "<coordinates>";
    for (int32_t j = 0; j < SegList.Count; ++j) {
        AppendFloatInv(FBuf, SegList.Pnt[j].x);
        FBuf += ',';
        AppendFloatInv(FBuf, SegList.Pnt[j].y);
        FBuf += ",0.00000 ";
    }
    Line("</coordinates>");
}

void TGISWriteKML2::WriteSection(int32_t Index, const TFloatPointArrayEx& SegList) {
    TGISWrite::WriteSection(Index, SegList);
    if (FObjectTypes == otPline) {
        Line("<LineString>");
        WriteCoordinates(SegList);
        Line("</LineString>");
    } else {
        if (Index > 0) {
            Line("<innerBoundaryIs>");
        } else {
            if (Fprevious) Line("</Polygon>");
            Line("<Polygon>");
            Fprevious = true;
            Line("<outerBoundaryIs>");
        }
        Line("<LinearRing>");
        WriteCoordinates(SegList);
        Line("</LinearRing>");
        Line(Index < 1 ? "</outerBoundaryIs>" : "</innerBoundaryIs>");
    }
    if (FWrittenParts != FNumParts) return;
    if (FObjectTypes == otRegion) Line("</Polygon>");
    Line("</MultiGeometry>");
    Line("</Placemark>");
    FlushIfFull();
}

void TGISWriteKML2::AddPoint(double X, double Y, const std::string& Attrib) {
    TransformPoint(X, Y);
    if (FObjectTypes != otPoint) return;
    Line("<Placemark>");
    Line("<name>Record: " + std::to_string(FWrittenRecords) + "</name>");
    WriteAttributes(Attrib);
    Line("<styleUrl>#point</styleUrl>");
    Line("<Point>");
    FBuf += "<coordinates>";
    AppendFloatInv(FBuf, X);
    FBuf += ',';
    AppendFloatInv(FBuf, Y);
    Line(",0</coordinates>");
    Line("</Point>");
    Line("</Placemark>");
    FlushIfFull();
}

void TGISWriteKML2::Close() {
    TGISWrite::Close();
    if (!Fopen) return;
    Fopen = false;
    if (!FOutKML) return;
    std::unique_ptr<TTextFileWriter> out = std::move(FOutKML);
    Line("</Document>");
    Line("</kml>");
    out->write(FBuf);
    FBuf.clear();
    out->Close();
}

void TGISWriteKML2::Drop() {
    try {
        TGISWrite::Drop();
    } catch (...) {
        // The file is deleted anyway.
    }
    std::remove((FileName + ".kml").c_str());
}

}  // namespace itn
