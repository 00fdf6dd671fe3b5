// The feature writer every output goes through: declared fields, features made of
// sections, attribute text splitting, merging of connected polyline sections and
// great-circle densification. One subclass per output format renders the features.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "gis/coordinate_transform.h"
#include "gis/geometry_types.h"
#include "io/codepage.h"

namespace itn {

enum TGISField : uint8_t {
    gfChar = 0, gfInteger = 1, gfSmallInt = 2, gfDecimal = 3, gfFloat = 4,
    gfDate = 5, gfLogical = 6, gfTime = 7, gfDateTime = 8
};

enum TGISFormat : uint8_t {
    gfMIF = 0, gfDBF = 1, gfSHP = 2, gfCSV = 3, gfArray = 4, gfMITAB = 5,
    gfGML2 = 6, gfKML2 = 7, gfGeoJSON = 8, gfMFAL = 9, gfMIF8 = 10
};

struct TFieldInfo {
    TGISField FieldType = gfChar;
    uint8_t Width = 0;
    uint8_t decimals = 0;
    std::string Name;
};
using TFieldInfoArray = std::vector<TFieldInfo>;

// Colours are held as 0x00BBGGRR; writers emit RgbValue() of them (0xRRGGBB).
struct TMIBrush {
    int32_t pattern = 2;
    uint32_t fg_color = 0xFFFFFF;
    uint32_t bg_color = 0;
};
struct TMIPen {
    int32_t Width = 1;
    int32_t pattern = 2;
    uint32_t Color = 0;
};
struct TMISymbol {
    int32_t Shape = 33;
    uint32_t Color = 0;
    int32_t Size = 12;
};

// A writer's misuse or bad input (region rules, value count, property change mid-object).
class EGISWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TGISArray;

// Splits a comma text: "," separates values, double quotes enclose a value (a doubled quote
// stands for one), characters at or below the blank separate unquoted values.
void SplitCommaText(const std::string& text, std::vector<std::string>& values);

extern const char* const kDefaultPRJ;
extern const char* const kDefaultCoordSys;

class TGISWrite {
public:
    TGISWrite();
    virtual ~TGISWrite();
    TGISWrite(const TGISWrite&) = delete;
    TGISWrite& operator=(const TGISWrite&) = delete;

    // A new writer for the format; MIF/MID for formats whose writer is not available.
    static std::unique_ptr<TGISWrite> GetGISObject(TGISFormat Inp);
    static bool MITAB_supported();
    static bool MFAL_supported();

    // Set between creation and StartHeader.
    std::string FileName;  // full path without extension
    std::string CoordSys = kDefaultCoordSys;
    int32_t epsg = 4326;
    std::string PRJ = kDefaultPRJ;
    TMIPen Pen;
    TMIBrush Brush;
    TMISymbol Symbol;
    bool CompactMIF = false;
    double GreatCircleDist = 0;  // kilometres; <= 0 switches densification off
    TGISArray* GISarray = nullptr;
    std::string GeoJSON;
    // Applied to every coordinate written (sections and points); none: written as given.
    // The caller sets epsg, CoordSys and PRJ to the system it leads to.
    std::shared_ptr<TCoordinateTransform> Transform;

    uint16_t Codepage() const { return FCodepage; }
    void SetCodepage(uint16_t Value);
    bool OptimizePLinesSections() const { return FOptimizePLinesSections; }
    void SetOptimizePLinesSections(bool Value);
    const TFieldInfoArray& FieldInfo() const { return FFieldInfo; }
    int32_t WrittenRecords() const { return FWrittenRecords; }
    // The first feature (its TOID, or "record n") from which characters the format cannot
    // hold were left out; empty when none was.
    const std::string& DroppedCharactersIn() const { return FDroppedCharactersIn; }

    virtual void StartHeader(int32_t NumFields, TObjectTypes ObjectTypes);
    virtual void AddField(const std::string& FieldName, TGISField Field, uint8_t Width, uint8_t decimals);
    virtual void AddObject(int32_t NumParts, bool multiPolygon, const std::string& Attrib);
    virtual void AddLine(double X1, double Y1, double X2, double Y2, const std::string& Attrib);
    virtual void AddLine2(const TFloatPoint& P1, const TFloatPoint& P2, const std::string& Attrib);
    virtual void AddPoint(double X, double Y, const std::string& Attrib);
    void AddPoint2(const TFloatPoint& P, const std::string& Attrib) { AddPoint(P.x, P.y, Attrib); }
    // Completes the output files; raises when they cannot be written.
    virtual void Close();
    // Closes and deletes the output files of this format.
    virtual void Drop();

    void AddSection(int32_t Index, TFloatPointArrayEx& SegList);
    void AddSection1(int32_t Index, const TFloatPointArrayEx2& SegList, bool swapdirection);
    void AddSection2(int32_t Index, double X1, double Y1, double X2, double Y2);
    void AddSection3(int32_t Index, const TFloatPoint& P1, const TFloatPoint& P2);

    // Splits an attribute text into FSL; raises when the value count differs from the fields.
    void SplitAttributes(const std::string& Attrib);
    void DensifyGreatCircle(TFloatPointArrayEx& SegList);

protected:
    // Notes the current record in DroppedCharactersIn when it is the first such one.
    void NoteDroppedCharacters();

    virtual void StartOptimizedObject(int32_t NumParts, const std::string& Attrib);
    virtual void CollectSection(const TFloatPointArrayEx& SegList);
    virtual void StartObject(int32_t NumParts, const std::string& Attrib);
    virtual void WriteSection(int32_t Index, const TFloatPointArrayEx& SegList);
    // Transform applied to one point (a writer's AddPoint calls it first).
    void TransformPoint(double& X, double& Y);
    // SegList itself without Transform, else a transformed copy of it (the caller's points stay).
    TFloatPointArrayEx& Transformed(TFloatPointArrayEx& SegList);

    uint16_t FCodepage = 1252;
    std::unique_ptr<TCodepageEncoder> FEncoding;
    std::string FAttrib;
    TFieldInfoArray FFieldInfo;
    int32_t FFreeIndex = -1;
    int32_t FFreeItems = 0;
    TFloatPointArrayEx FLine;
    int32_t FNumFields = 0;
    int32_t FNumParts = 0;
    TFloatPointArrayEx FPoint;
    TObjectTypes FObjectTypes = otPline;
    int32_t FOptimizedParts = 0;
    bool FOptimizePLinesSections = false;
    TFloatPointArrayExArray FSegments;
    TFloatPointArrayEx FTransformed;
    std::vector<std::string> FSL;
    int32_t FWrittenFields = 0;
    int32_t FWrittenParts = 0;
    int32_t FWrittenRecords = 0;
    bool Fopen = false;
    bool FmultiPolygon = false;
    std::string FDroppedCharactersIn;
};

}  // namespace itn
