// Formatting and text helpers shared by the writers and the converters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "gis/geometry_types.h"
#include "io/codepage.h"

namespace itn {

// Shortest text of x rounded to 15 significant digits, "." as decimal point, no grouping,
// independent of the process locale: 12.5, -2, 0.25. Magnitudes below 0.0001 or from 1E15 on
// use an exponent (1E-5, 1.5E20).
std::string FloatToStrInv(double x);
void AppendFloatInv(std::string& out, double x);

// The text in the 8-bit code page; unmappable characters become "?".
std::string ToAnsi(std::string_view text, uint16_t codepage);

// True when the first character is 1, T, Y, t or y.
bool IsTrueText(std::string_view text);

// The five XML special characters replaced by their entities; characters that XML 1.0 does
// not allow (controls other than tab, line feed and carriage return, U+FFFE, U+FFFF) left out.
std::string XmlEscape(std::string_view text);
// XmlEscape(text) appended to out; false when a character was left out.
bool AppendXmlEscape(std::string& out, std::string_view text);

// The first value of a GML coordinate text that is not a finite number of a size a grid can
// have ("nan", "inf", "1e308", "1e999"), or empty when there is none.
std::string_view UnusableCoordinate(std::string_view Text);

// Central angle in radians between two points given as longitude (x) and latitude (y) in degrees.
double GreatCircleAngle(const TFloatPoint& P1, const TFloatPoint& P2);

// MapInfo character set name of a Windows code page ("WindowsLatin1", "UTF-8", ...).
std::string CodepageToCharsetName(int codepage);

// True when every writer can write text in the code page: it can be encoded, and MIF and TAB
// files can name it.
bool CanWriteCodepage(int codepage);

// dBase language driver byte of a Windows code page; 0 for a code page without one (65001 too).
uint8_t CodepageToLanguageDriver(int codepage);

// value as fixed-point text with `decimals` digits after ".", right-aligned in Width characters
// with leading blanks; the first Width characters go to dest (a wider number loses its right end:
// width 3 turns 12345 into 123). Rounds the shortest decimal form of value half away from zero.
void FormatFixedNumber(int Width, int decimals, char* dest, double value);
// FormatFixedNumber of a value given as plain decimal text ([+-]digits[.digits], at most 15
// significant digits), with the same result, without a detour through binary floating point.
// False, and dest untouched, for any other text.
bool FormatFixedDecimalText(int Width, int decimals, char* dest, std::string_view text);

// Reads a decimal number with "." as decimal point (optional sign and exponent, surrounding
// blanks allowed); false for anything else, including an empty text, NaN and infinity.
bool TryStrToFloatInv(std::string_view text, double& value);

// 0x00BBGGRR colour as the integer 0xRRGGBB.
inline uint32_t RgbValue(uint32_t color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

}  // namespace itn
