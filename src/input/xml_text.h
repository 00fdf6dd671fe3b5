// Text rules of the streaming XML reader: blanks, references, attribute quoting and the
// number formats of ValueAsInteger and ValueAsFloat. Everything works on UTF-8 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace itn::xml {

// The reader's blanks: space, tab, CR and LF.
inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The text without blanks at both ends.
std::string_view TrimBlanks(std::string_view Text);

// True when the text holds nothing but blanks (or nothing at all).
bool IsAllBlank(std::string_view Text);

// ASCII letter case is ignored; other bytes must be equal.
bool SameTextAscii(std::string_view A, std::string_view B);

// Appends the UTF-8 form of a code point below 0x110000 (surrogates become U+FFFD).
void AppendUtf8(std::string& Out, uint32_t CodePoint);

// Appends Raw with references resolved: "&amp;", "&lt;", "&gt;", "&apos;", "&quot;" and
// numeric references "&#N;" / "&#xH;" below 0xFFFF. A reference runs from "&" to the next
// ";"; anything else, and an "&" without a later ";", stays as written.
void AppendResolved(std::string& Out, std::string_view Raw);
std::string ResolveReferences(std::string_view Raw);

// An attribute value as stored (still in its quotes) to its text: when it starts with a
// double or single quote and is at least two characters long, the text up to the closing
// quote, a doubled quote character reduced to one (no closing quote: up to the end);
// otherwise the value unchanged. References are not resolved here.
std::string UnquoteValue(std::string_view Stored);

// ValueAsInteger: optional leading spaces, an optional sign and decimal digits, nothing
// after them, within the 32-bit range.
bool ParseInteger32(std::string_view Text, int32_t& Value);

// ValueAsFloat: every "," is read as "."; optional leading spaces, an optional sign, digits
// with an optional fraction (at least one digit in all), an optional exponent; nothing after.
bool ParseFloat(std::string_view Text, double& Value);

}  // namespace itn::xml
