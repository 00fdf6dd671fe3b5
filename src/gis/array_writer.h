// In-memory writer: keeps every feature, its values typed by field and its sections, in a
// TGISArray that the calling program reads through GISarray.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "gis/gis_writer.h"

namespace itn {

using TGISTime = std::chrono::milliseconds;  // time of day
using TGISDateTime = std::chrono::local_time<std::chrono::milliseconds>;

// One stored value. std::monostate is "no value": a date or time field whose text does not
// have the length of its notation (an empty value, for one).
using TGISValue =
    std::variant<std::monostate, std::string, int32_t, bool, double, std::chrono::year_month_day, TGISTime, TGISDateTime>;

struct TRec {
    std::vector<TGISValue> Attr;         // one per field
    std::vector<TFloatPointArray> Coord;  // one per section
};

class TGISArray {
public:
    TObjectTypes OT = otPline;
    TFloatRect MBR;
    std::vector<TFieldInfo> Field;  // 0-based, unlike the writer's own field list
    std::vector<TRec> Rec;          // the first RecCount entries are valid; the rest is spare
    int32_t RecCount = 0;

    TGISArray() { ResetMBR(); }
    // Frees all records and fields.
    void Clear();
    // The empty rectangle, ready to be widened by the first coordinate.
    void ResetMBR();
    void ExtendMBR(const TFloatPoint& p);
};

class TGISWriteArray : public TGISWrite {
public:
    TGISWriteArray();
    ~TGISWriteArray() override;

    void StartHeader(int32_t NumFields, TObjectTypes ObjectTypes) override;
    void AddField(const std::string& FieldName, TGISField Field, uint8_t Width, uint8_t decimals) override;
    void AddPoint(double X, double Y, const std::string& Attrib) override;
    void Close() override;
    // Closes and clears the stored data.
    void Drop() override;

protected:
    void StartObject(int32_t NumParts, const std::string& Attrib) override;
    void WriteSection(int32_t Index, const TFloatPointArrayEx& SegList) override;

private:
    TRec& NewRecord();
    void WriteAttributes(const std::string& Attrib);

    std::unique_ptr<TGISArray> FArray;
    int32_t Fpartsindex = -1;
};

}  // namespace itn
