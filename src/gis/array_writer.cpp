#include "gis/array_writer.h"

#include <algorithm>
#include <charconv>

#include "gis/gis_functions.h"

namespace itn {

namespace {

// The single-precision 1E38 widened, as the empty rectangle holds it.
const double kBig = static_cast<double>(1.0e38f);

bool ReadInt(std::string_view text, int32_t& value) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    return res.ec == std::errc() && res.ptr == text.data() + text.size();
}

// Digits only, so "+1" or " 1" cannot pass as a part of a date.
bool ReadDigits(std::string_view text, int& value) {
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

bool ReadDate(std::string_view v, std::chrono::year_month_day& date) {
    int y, m, d;
    if (!ReadDigits(v.substr(0, 4), y) || !ReadDigits(v.substr(4, 2), m) || !ReadDigits(v.substr(6, 2), d)) return false;
    date = std::chrono::year_month_day{std::chrono::year{y}, std::chrono::month{static_cast<unsigned>(m)},
                                       std::chrono::day{static_cast<unsigned>(d)}};
    return date.ok();
}

bool ReadTime(std::string_view v, TGISTime& time) {
    int h, m, s, ms;
    if (!ReadDigits(v.substr(0, 2), h) || !ReadDigits(v.substr(2, 2), m) || !ReadDigits(v.substr(4, 2), s) ||
        !ReadDigits(v.substr(6, 3), ms))
        return false;
    if (h > 23 || m > 59 || s > 59) return false;
    time = std::chrono::hours{h} + std::chrono::minutes{m} + std::chrono::seconds{s} + std::chrono::milliseconds{ms};
    return true;
}

}  // namespace

void TGISArray::Clear() {
    Rec.clear();
    Rec.shrink_to_fit();
    Field.clear();
    RecCount = 0;
}

void TGISArray::ResetMBR() { MBR = {kBig, kBig, -kBig, -kBig}; }

void TGISArray::ExtendMBR(const TFloatPoint& p) {
    if (p.x < MBR.xmin) MBR.xmin = p.x;
    if (p.y < MBR.ymin) MBR.ymin = p.y;
    if (p.x > MBR.xmax) MBR.xmax = p.x;
    if (p.y > MBR.ymax) MBR.ymax = p.y;
}

TGISWriteArray::TGISWriteArray() : FArray(std::make_unique<TGISArray>()) { GISarray = FArray.get(); }

TGISWriteArray::~TGISWriteArray() = default;

void TGISWriteArray::StartHeader(int32_t NumFields, TObjectTypes ObjectTypes) {
    TGISWrite::StartHeader(NumFields, ObjectTypes);
    FArray->Clear();
    FArray->Field.resize(static_cast<size_t>(std::max(0, NumFields)));
    FArray->OT = ObjectTypes;
    FArray->ResetMBR();
    FArray->RecCount = 0;
}

void TGISWriteArray::AddField(const std::string& FieldName, TGISField Field, uint8_t Width, uint8_t decimals) {
    TGISWrite::AddField(FieldName, Field, Width, decimals);
    const auto index = static_cast<size_t>(FWrittenFields - 1);
    if (index >= FArray->Field.size()) FArray->Field.resize(index + 1);
    FArray->Field[index] = TFieldInfo{Field, Width, decimals, FieldName};
}

TRec& TGISWriteArray::NewRecord() {
    std::vector<TRec>& rec = FArray->Rec;
    FArray->RecCount += 1;
    // Grow by at least 50 slots, by 30 % once the array is large, keeping one slot spare.
    const auto length = static_cast<int64_t>(rec.size());
    if (FArray->RecCount >= length - 1)
        rec.resize(static_cast<size_t>((length - 1) + std::max<int64_t>(50, static_cast<int64_t>(0.3 * (length - 1)))));
    return rec[static_cast<size_t>(FArray->RecCount - 1)];
}

void TGISWriteArray::StartObject(int32_t NumParts, const std::string& Attrib) {
    TGISWrite::StartObject(NumParts, Attrib);
    TRec& rec = NewRecord();
    rec.Coord.resize(static_cast<size_t>(std::max(0, NumParts)));
    Fpartsindex = -1;
    WriteAttributes(Attrib);
}

void TGISWriteArray::WriteSection(int32_t Index, const TFloatPointArrayEx& SegList) {
    TGISWrite::WriteSection(Index, SegList);
    if (FArray->RecCount <= 0) return;
    TRec& rec = FArray->Rec[static_cast<size_t>(FArray->RecCount - 1)];
    Fpartsindex += 1;
    const auto part = static_cast<size_t>(Fpartsindex);
    if (part >= rec.Coord.size()) rec.Coord.resize(part + 1);
    const auto count = static_cast<size_t>(std::max(0, SegList.Count));
    rec.Coord[part].assign(SegList.Pnt.begin(), SegList.Pnt.begin() + static_cast<std::ptrdiff_t>(count));
    for (const TFloatPoint& p : rec.Coord[part]) FArray->ExtendMBR(p);
}

void TGISWriteArray::AddPoint(double X, double Y, const std::string& Attrib) {
    TransformPoint(X, Y);
    if (FObjectTypes != otPoint) return;
    TRec& rec = NewRecord();
    rec.Coord.assign(1, TFloatPointArray{{X, Y}});
    FArray->ExtendMBR({X, Y});
    WriteAttributes(Attrib);
}

void TGISWriteArray::WriteAttributes(const std::string& Attrib) {
    TRec& rec = FArray->Rec[static_cast<size_t>(FArray->RecCount - 1)];
    rec.Attr.assign(static_cast<size_t>(std::max(0, FNumFields)), TGISValue{});
    SplitAttributes(Attrib);
    FWrittenRecords += 1;
    for (int32_t i = 0; i < FNumFields; ++i) {
        const TFieldInfo& info = FArray->Field[static_cast<size_t>(i)];
        const std::string& v = FSL[static_cast<size_t>(i)];
        TGISValue& out = rec.Attr[static_cast<size_t>(i)];
        auto invalid = [&](const char* what) {
            return EGISWriteError("\"" + v + "\" is not a valid " + what + " for the field " + info.Name);
        };
        switch (info.FieldType) {
            case gfChar: out = v; break;
            case gfInteger:
            case gfSmallInt: {
                int32_t n = 0;
                if (!ReadInt(v, n)) throw invalid("integer");
                out = n;
                break;
            }
            case gfLogical: out = IsTrueText(v); break;
            case gfDecimal:
            case gfFloat: {
                double d = 0;
                if (!TryStrToFloatInv(v, d)) throw invalid("number");
                out = d;
                break;
            }
            case gfDate:
                if (v.size() == 8) {
                    std::chrono::year_month_day date;
                    if (!ReadDate(v, date)) throw invalid("date");
                    out = date;
                }
                break;
            case gfTime:
                if (v.size() == 9) {
                    TGISTime time;
                    if (!ReadTime(v, time)) throw invalid("time");
                    out = time;
                }
                break;
            case gfDateTime:
                if (v.size() == 17) {
                    std::chrono::year_month_day date;
                    TGISTime time;
                    if (!ReadDate(std::string_view(v).substr(0, 8), date) || !ReadTime(std::string_view(v).substr(8), time))
                        throw invalid("date and time");
                    out = TGISDateTime{std::chrono::local_days{date}.time_since_epoch() + time};
                }
                break;
        }
    }
}

void TGISWriteArray::Close() {
    TGISWrite::Close();
    Fopen = false;
}

void TGISWriteArray::Drop() {
    TGISWrite::Drop();
    Fopen = false;
    FArray->Clear();
}

}  // namespace itn
