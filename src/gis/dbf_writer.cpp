#include "gis/dbf_writer.h"

#include <cstdio>
#include <ctime>
#include <exception>

#include "gis/gis_functions.h"

namespace itn {

namespace {

constexpr int32_t kMaxFields = 2046;  // the header length, 32 x (fields + 1) + 1, is a 16-bit word

uint16_t HeaderLength(int32_t NumFields) { return static_cast<uint16_t>(32 * (NumFields + 1) + 1); }

// One byte per character: the low 8 bits of each code point of a UTF-8 text, as the number
// and date columns take them. ASCII text, the normal case, is copied as it is.
std::string LowBytes(const std::string& text) {
    bool ascii = true;
    for (unsigned char c : text)
        if (c >= 0x80) ascii = false;
    if (ascii) return text;
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        uint32_t cp = c;
        size_t len = 1;
        if (c >= 0xF0) {
            cp = c & 0x07;
            len = 4;
        } else if (c >= 0xE0) {
            cp = c & 0x0F;
            len = 3;
        } else if (c >= 0xC0) {
            cp = c & 0x1F;
            len = 2;
        }
        for (size_t k = 1; k < len && i + k < text.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out += static_cast<char>(cp & 0xFF);
        i += len;
    }
    return out;
}

}  // namespace

TGISWriteDBF::TGISWriteDBF() = default;
TGISWriteDBF::~TGISWriteDBF() = default;

void TGISWriteDBF::StartHeader(int32_t NumFields, TObjectTypes ObjectTypes) {
    if (NumFields > kMaxFields)
        throw EGISWriteError("A dBase table holds at most " + std::to_string(kMaxFields) + " fields, not " +
                             std::to_string(NumFields) + " (\"" + FileName + ".dbf\")");
    TGISWrite::StartHeader(NumFields, ObjectTypes);
    FOutDBF = std::make_unique<TBLBufferedStream>(new TBLFileStream(FileName + ".dbf", fmCreate), true);
    FNumRec = 0;
    const std::time_t now = std::time(nullptr);
    std::tm today{};
    localtime_r(&now, &today);
    const uint8_t head[4] = {3, static_cast<uint8_t>((today.tm_year) & 0xFF), static_cast<uint8_t>(today.tm_mon + 1),
                             static_cast<uint8_t>(today.tm_mday)};
    FOutDBF->Write(head, 4);
    FOutDBF->SetPosition(8);
    FOutDBF->WriteUInt16(HeaderLength(NumFields));
    FOutDBF->SetPosition(29);
    FOutDBF->WriteByte(CodepageToLanguageDriver(FCodepage));
    FOutDBF->SetPosition(32 * (static_cast<int64_t>(NumFields) + 1));
    FOutDBF->WriteByte(0x0D);
    FTotalWidth = 1;
    if (NumFields <= 0) {
        // No AddField call will complete the header.
        FOutDBF->SetPosition(10);
        FOutDBF->WriteUInt16(FTotalWidth);
        FOutDBF->SetPosition(33);
    }
}

void TGISWriteDBF::AddField(const std::string& FieldName, TGISField Field, uint8_t Width, uint8_t decimals) {
    if (Width > 254) Width = 254;
    TGISWrite::AddField(FieldName, Field, Width, decimals);
    char letter = 'C';
    switch (Field) {
        case gfChar: decimals = 0; break;
        case gfInteger: letter = 'N', Width = 11, decimals = 0; break;
        case gfSmallInt: letter = 'N', Width = 6, decimals = 0; break;
        case gfDecimal: letter = 'N'; break;
        case gfFloat:
            letter = 'N';
            if (Width == 0) Width = 20;
            if (decimals == 0) decimals = 8;
            break;
        case gfDate: letter = 'D', Width = 8, decimals = 0; break;
        case gfLogical: letter = 'L', Width = 1, decimals = 0; break;
        case gfTime: Width = 9, decimals = 0; break;
        case gfDateTime: Width = 17, decimals = 0; break;
    }
    TFieldInfo& info = FFieldInfo[FWrittenFields];
    info.Width = Width;
    info.decimals = decimals;

    if (static_cast<uint32_t>(FTotalWidth) + Width > 0xFFFF)
        throw EGISWriteError("The fields of \"" + FileName + ".dbf\" need more than 65535 bytes per record, "
                             "more than a dBase table can hold");

    char name[12] = {};
    const std::string bytes = FEncoding->Encode(FieldName);
    bytes.copy(name, std::min<size_t>(bytes.size(), 10));
    name[11] = letter;
    FOutDBF->SetPosition(32 * static_cast<int64_t>(FWrittenFields));
    FOutDBF->Write(name, 12);
    FOutDBF->SetPosition(32 * static_cast<int64_t>(FWrittenFields) + 16);
    FOutDBF->WriteByte(Width);
    FOutDBF->WriteByte(decimals);
    FTotalWidth = static_cast<uint16_t>(FTotalWidth + Width);
    if (FWrittenFields == FNumFields) {
        FOutDBF->SetPosition(10);
        FOutDBF->WriteUInt16(FTotalWidth);
        FOutDBF->SetPosition(32 * static_cast<int64_t>(FNumFields) + 33);
    }
}

void TGISWriteDBF::StartObject(int32_t NumParts, const std::string& Attrib) {
    TGISWrite::StartObject(NumParts, Attrib);
    WriteRecord(Attrib);
}

void TGISWriteDBF::AddPoint(double, double, const std::string& Attrib) { WriteRecord(Attrib); }

void TGISWriteDBF::WriteRecord(const std::string& Attrib) {
    // Records written before the header is complete would land inside it.
    if (!FOutDBF || FWrittenFields != FNumFields)
        throw EGISWriteError("Cannot write a feature to \"" + FileName + ".dbf\" before all fields are declared");
    FNumRec += 1;
    FWrittenRecords += 1;
    FOutDBF->WriteByte(0x20);
    SplitAttributes(Attrib);

    FRecord.clear();
    for (int32_t i = 1; i <= FNumFields; ++i) {
        const TFieldInfo& info = FFieldInfo[i];
        const std::string& value = FSL[i - 1];
        const size_t w = info.Width;
        switch (info.FieldType) {
            case gfChar: {
                const size_t start = FRecord.size();
                FEncoding->EncodeAppend(value, FRecord);
                FRecord.resize(start + w, ' ');  // cuts a longer value, pads a shorter one
                break;
            }
            case gfInteger:
            case gfSmallInt: {
                const std::string chars = LowBytes(value);
                const size_t n = std::min(w, chars.size());
                FRecord.append(w - n, ' ');
                FRecord.append(chars, 0, n);
                break;
            }
            case gfDecimal:
            case gfFloat: {
                const size_t start = FRecord.size();
                FRecord.resize(start + w);
                char* dest = FRecord.data() + start;
                if (FormatFixedDecimalText(static_cast<int>(w), info.decimals, dest, value)) break;
                double number = 0;
                if (!value.empty() && !TryStrToFloatInv(value, number))
                    throw EGISWriteError("\"" + value + "\" is not a valid number for the field " + info.Name);
                FormatFixedNumber(static_cast<int>(w), info.decimals, dest, number);
                break;
            }
            case gfLogical: FRecord += IsTrueText(value) ? 'T' : 'F'; break;
            case gfDate:
            case gfTime:
            case gfDateTime: {
                const std::string chars = LowBytes(value);
                if (chars.size() == w)
                    FRecord += chars;
                else
                    FRecord.append(w, ' ');
                break;
            }
        }
    }
    FOutDBF->Write(FRecord.data(), static_cast<int32_t>(FRecord.size()));
}

void TGISWriteDBF::Close() {
    TGISWrite::Close();
    if (!Fopen) return;
    Fopen = false;
    if (!FOutDBF) return;
    std::unique_ptr<TBLBufferedStream> out = std::move(FOutDBF);
    out->WriteByte(0x1A);
    out->SetPosition(4);
    out->WriteUInt32(FNumRec);
    out->Close();
}

void TGISWriteDBF::Drop() {
    try {
        TGISWrite::Drop();
    } catch (...) {
        // The files are deleted anyway.
    }
    std::remove((FileName + ".dbf").c_str());
}

}  // namespace itn
