#include "gis/gml2_writer.h"

#include <charconv>
#include <cstdio>
#include <exception>
#include <filesystem>

#include "gis/gis_functions.h"

namespace itn {

const char* const kGMLNamespaceBase = "http://www.corvane.com/";

namespace {

constexpr const char* kGMLNamespace = "http://www.opengis.net/gml";
constexpr const char* kXsiNamespace = "http://www.w3.org/2001/XMLSchema-instance";
constexpr const char* kXsdNamespace = "http://www.w3.org/2001/XMLSchema";
constexpr const char* kGMLFeatureSchema = "http://schemas.opengis.net/gml/2.1.2/feature.xsd";
constexpr const char* kZeroBound = "0.00000000000000";  // 16 characters, patched at Close
constexpr size_t kBoundWidth = 16;
constexpr size_t kFlushSize = 1 << 16;

// The single-precision 1E38 widened: the box before any coordinate.
const double kBig = static_cast<double>(1.0e38f);

std::string Attr(const char* name, const std::string& value) { return std::string(" ") + name + "=\"" + value + "\""; }

}  // namespace

TGISWriteGML2::TGISWriteGML2() = default;
TGISWriteGML2::~TGISWriteGML2() = default;

std::string TGISWriteGML2::FormatBoundNumber(double value) {
    std::string s = FloatToStrInv(value);
    if (s.find('E') != std::string::npos) {
        // Padding an exponent form with zeros would change its value: give the mantissa the
        // digits that make 16 characters instead.
        for (int precision = 15; precision >= 0; --precision) {
            char buf[40];
            auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, precision);
            std::string t(buf, res.ptr);
            for (char& c : t)
                if (c == 'e') c = 'E';
            if (t.size() <= kBoundWidth) {
                s = t;
                break;
            }
        }
    }
    if (s.size() < kBoundWidth && s.find('E') == std::string::npos) {
        if (s.find('.') == std::string::npos) s += '.';
        s.append(kBoundWidth - s.size(), '0');
    }
    return s.substr(0, kBoundWidth);
}

void TGISWriteGML2::StartHeader(int32_t NumFields, TObjectTypes ObjectTypes) {
    TGISWrite::StartHeader(NumFields, ObjectTypes);
    FBuf.clear();
    FTags.assign(FFieldInfo.size(), TFieldTags{});
    FOutGML = std::make_unique<TTextFileWriter>(FileName + ".xml", kCodepageUtf8, true);
    FOutXSD = std::make_unique<TTextFileWriter>(FileName + ".xsd", kCodepageUtf8, true);
    FFileName2 = std::filesystem::path(FileName).filename().string();
    const std::string& name = FFileName2;
    const std::string own = kGMLNamespaceBase + name;

    Put("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>");
    Put("<Features" + Attr("xmlns", own) + Attr("xmlns:gml", kGMLNamespace) + Attr("xmlns:xsi", kXsiNamespace) +
        Attr("xsi:schemaLocation", own + " " + name + ".xsd") + ">");
    Put("<gml:boundedBy><gml:Box>");
    for (int i = 0; i < 2; ++i)
        Put(std::string("<gml:coord><gml:X>") + kZeroBound + "</gml:X><gml:Y>" + kZeroBound + "</gml:Y></gml:coord>");
    Put("</gml:Box></gml:boundedBy>");

    std::string xsd = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    xsd += "<schema" + Attr("targetNamespace", own) + Attr("xmlns:wfs", own) + Attr("xmlns:gml", kGMLNamespace) +
           Attr("xmlns", kXsdNamespace) + Attr("elementFormDefault", "qualified") + ">";
    xsd += "<import" + Attr("namespace", kGMLNamespace) + Attr("schemaLocation", kGMLFeatureSchema) + "/>";
    xsd += "<element" + Attr("name", "Features") + Attr("type", "wfs:featuresType") +
           Attr("substitutionGroup", "gml:_FeatureCollection") + "/>";
    xsd += "<complexType" + Attr("name", "featuresType") + "><complexContent><extension" +
           Attr("base", "gml:AbstractFeatureCollectionType") + "/></complexContent></complexType>";
    xsd += "<element" + Attr("name", name) + Attr("type", "wfs:" + name + "Type") +
           Attr("substitutionGroup", "gml:_Feature") + "/>";
    xsd += "<complexType" + Attr("name", name + "Type") + "><complexContent><extension" +
           Attr("base", "gml:AbstractFeatureType") + "><sequence>";
    FOutXSD->write(xsd);

    FXMinG = kBig;
    FYMinG = kBig;
    FXMaxG = -kBig;
    FYMaxG = -kBig;
}

void TGISWriteGML2::AddField(const std::string& FieldName, TGISField Field, uint8_t Width, uint8_t decimals) {
    TGISWrite::AddField(FieldName, Field, Width, decimals);
    if (FTags.size() <= static_cast<size_t>(FWrittenFields)) FTags.resize(static_cast<size_t>(FWrittenFields) + 1);
    FTags[static_cast<size_t>(FWrittenFields)] = {"<" + FieldName + ">", "</" + FieldName + ">",
                                                  "<" + FieldName + " xsi:nil=\"true\"/>"};
    const char* type = "string";
    bool nillable = false;
    switch (Field) {
        case gfChar: break;
        case gfInteger:
        case gfSmallInt: type = "integer"; break;
        case gfDecimal:
        case gfFloat: type = "double"; break;
        case gfDate: type = "date", nillable = true; break;
        case gfLogical: type = "boolean"; break;
        case gfTime: type = "time", nillable = true; break;
        case gfDateTime: type = "dateTime", nillable = true; break;
    }
    if (FOutXSD)
        FOutXSD->write("<element" + Attr("name", FieldName) + Attr("type", type) +
                       (nillable ? Attr("nillable", "true") : std::string()) + "/>");
    if (FWrittenFields == FNumFields) FinishSchema();
}

void TGISWriteGML2::FinishSchema() {
    if (!FOutXSD) return;
    std::unique_ptr<TTextFileWriter> xsd = std::move(FOutXSD);
    const char* shape = nullptr;
    switch (FObjectTypes) {
        case otPline: shape = "gml:MultiLineStringPropertyType"; break;
        case otRegion: shape = "gml:MultiPolygonPropertyType"; break;
        case otPoint: shape = "gml:PointPropertyType"; break;
        case otNone: break;
    }
    if (shape) xsd->write("<element" + Attr("name", "_SHAPE_") + Attr("type", shape) + "/>");
    xsd->write("</sequence></extension></complexContent></complexType></schema>");
    xsd->Close();
}

void TGISWriteGML2::FlushIfFull() {
    if (FBuf.size() < kFlushSize || !FOutGML) return;
    FOutGML->write(FBuf);
    FBuf.clear();
}

void TGISWriteGML2::WriteAttributes(const std::string& Attrib) {
    SplitAttributes(Attrib);
    FWrittenRecords += 1;
    for (int32_t i = 1; i <= FNumFields; ++i) {
        const TFieldTags& tags = FTags[static_cast<size_t>(i)];
        const std::string& v = FSL[i - 1];
        switch (FFieldInfo[i].FieldType) {
            case gfLogical:
                FBuf += tags.open;
                FBuf += IsTrueText(v) ? '1' : '0';
                break;
            case gfDate:
                if (v.size() != 8) {
                    FBuf += tags.nil;
                    continue;
                }
                FBuf += tags.open;
                FBuf.append(v, 0, 4).append("-").append(v, 4, 2).append("-").append(v, 6, 2);
                break;
            case gfTime:
                if (v.size() != 9) {
                    FBuf += tags.nil;
                    continue;
                }
                FBuf += tags.open;
                FBuf.append(v, 0, 2).append(":").append(v, 2, 2).append(":").append(v, 4, 2).append(".").append(v, 6, 3);
                break;
            case gfDateTime:
                if (v.size() != 17) {
                    FBuf += tags.nil;
                    continue;
                }
                FBuf += tags.open;
                FBuf.append(v, 0, 4).append("-").append(v, 4, 2).append("-").append(v, 6, 2).append("T");
                FBuf.append(v, 8, 2).append(":").append(v, 10, 2).append(":").append(v, 12, 2).append(".").append(v, 14, 3);
                break;
            default:
                FBuf += tags.open;
                if (!AppendXmlEscape(FBuf, v)) NoteDroppedCharacters();
                break;
        }
        FBuf += tags.close;
    }
}

void TGISWriteGML2::StartObject(int32_t NumParts, const std::string& Attrib) {
    TGISWrite::StartObject(NumParts, Attrib);
    const std::string& name = FFileName2;
    Put("<gml:featureMember><");
    Put(name);
    Put(">");
    WriteAttributes(Attrib);
    if (FObjectTypes != otNone) Put("<_SHAPE_>");
    if (NumParts <= 0) {
        if (FObjectTypes != otNone) Put("</_SHAPE_>");
        Put("</");
        Put(name);
        Put("></gml:featureMember>");
        FlushIfFull();
        return;
    }
    if (FObjectTypes == otPline)
        Put("<gml:MultiLineString srsName = 'epsg:" + std::to_string(epsg) + "'>");
    else if (FObjectTypes == otRegion)
        Put("<gml:MultiPolygon srsName = 'epsg:" + std::to_string(epsg) + "'>");
    Fprevious = false;
}

void TGISWriteGML2::WriteCoordinates(const TFloatPointArrayEx& SegList) {
    Put("<gml:coordinates>");
    for (int32_t j = 0; j < SegList.Count; ++j) {
        const TFloatPoint& p = SegList.Pnt[j];
        AppendFloatInv(FBuf, p.x);
        FBuf += ',';
        AppendFloatInv(FBuf, p.y);
        FBuf += ' ';
        UpdateBounds(p.x, p.y);
    }
    Put("</gml:coordinates>");
}

void TGISWriteGML2::WriteSection(int32_t Index, const TFloatPointArrayEx& SegList) {
    TGISWrite::WriteSection(Index, SegList);
    const bool pline = FObjectTypes == otPline;
    if (pline) {
        Put("<gml:lineStringMember><gml:LineString>");
        WriteCoordinates(SegList);
        Put("</gml:LineString></gml:lineStringMember>");
    } else {
        if (Index > 0) {
            Put("<gml:innerBoundaryIs>");
        } else {
            if (Fprevious) Put("</gml:Polygon></gml:polygonMember>");
            Put("<gml:polygonMember><gml:Polygon>");
            Fprevious = true;
            Put("<gml:outerBoundaryIs>");
        }
        Put("<gml:LinearRing>");
        WriteCoordinates(SegList);
        Put("</gml:LinearRing>");
        Put(Index < 1 ? "</gml:outerBoundaryIs>" : "</gml:innerBoundaryIs>");
    }
    if (FWrittenParts != FNumParts) return;
    Put(pline ? "</gml:MultiLineString>" : "</gml:Polygon></gml:polygonMember></gml:MultiPolygon>");
    Put("</_SHAPE_></");
    Put(FFileName2);
    Put("></gml:featureMember>");
    FlushIfFull();
}

void TGISWriteGML2::UpdateBounds(double X, double Y) {
    if (X < FXMinG) FXMinG = X;
    if (Y < FYMinG) FYMinG = Y;
    if (X > FXMaxG) FXMaxG = X;
    if (Y > FYMaxG) FYMaxG = Y;
}

void TGISWriteGML2::AddPoint(double X, double Y, const std::string& Attrib) {
    TransformPoint(X, Y);
    if (FObjectTypes != otPoint) return;
    const std::string& name = FFileName2;
    Put("<gml:featureMember><");
    Put(name);
    Put(">");
    WriteAttributes(Attrib);
    Put("<_SHAPE_><gml:Point srsName = 'epsg:" + std::to_string(epsg) + "'><gml:coordinates>");
    AppendFloatInv(FBuf, X);
    FBuf += ',';
    AppendFloatInv(FBuf, Y);
    Put("</gml:coordinates></gml:Point></_SHAPE_></");
    Put(name);
    Put("></gml:featureMember>");
    UpdateBounds(X, Y);
    FlushIfFull();
}

void TGISWriteGML2::Close() {
    TGISWrite::Close();
    if (!Fopen) return;
    Fopen = false;
    // Complete both files even when one fails, then report the first failure.
    std::exception_ptr failure;
    try {
        FinishSchema();  // a writer given fewer fields than announced still gets a whole schema
    } catch (...) {
        failure = std::current_exception();
    }
    if (FOutGML) {
        std::unique_ptr<TTextFileWriter> doc = std::move(FOutGML);
        try {
            Put("</Features>");
            doc->write(FBuf);
            FBuf.clear();
            doc->Close();
        } catch (...) {
            if (!failure) failure = std::current_exception();
        }
    }
    if (failure) std::rethrow_exception(failure);
    if (FXMinG == kBig) return;  // no coordinate written: the box stays at zeros
    PatchBoundingBox();
}

void TGISWriteGML2::PatchBoundingBox() {
    static const char* const kTags[4] = {"<gml:X>", "<gml:Y>", "<gml:X>", "<gml:Y>"};
    const double values[4] = {FXMinG, FYMinG, FXMaxG, FYMaxG};
    TBLFileStream f(FileName + ".xml", fmOpenReadWrite);
    std::string head;
    bool eof = false;
    char chunk[4096];
    int step = 0;
    for (size_t o = 0; step < 4; ++o) {
        while (!eof && head.size() < o + 7) {
            const int32_t n = f.Read(chunk, sizeof chunk);
            if (n <= 0)
                eof = true;
            else
                head.append(chunk, static_cast<size_t>(n));
        }
        if (head.size() < o + 7) break;
        if (head.compare(o, 7, kTags[step]) != 0) continue;
        const std::string number = FormatBoundNumber(values[step]);
        f.SetPosition(static_cast<int64_t>(o + 7));
        f.WriteBuffer(number.data(), static_cast<int32_t>(number.size()));
        f.SetPosition(static_cast<int64_t>(head.size()));
        ++step;
    }
}

void TGISWriteGML2::Drop() {
    try {
        TGISWrite::Drop();
    } catch (...) {
        // The files are deleted anyway.
    }
    std::remove((FileName + ".xml").c_str());
    std::remove((FileName + ".xsd").c_str());
}

}  // namespace itn
