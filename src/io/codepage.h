// Conversions between UTF-8 strings and Windows code pages.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace itn {

constexpr uint16_t kCodepageUtf8 = 65001;

// The code page used when the caller names none. Linux has no system ANSI code page,
// so this is always 1252 (Western European).
int DefaultCodepage();

// The iconv name of a Windows code page ("CP1252", "ISO-8859-1", "UTF-8"); empty when unknown.
std::string CodepageIconvName(uint16_t codepage);

// True when iconv of this system converts UTF-8 text to the code page.
bool CodepageAvailable(uint16_t codepage);

// True when every byte is below 0x80: such text reads the same in every supported code page.
bool IsAscii(std::string_view s);

// Converts text between UTF-8 and one Windows code page. Characters the code page cannot
// hold become "?"; bytes that are not valid in the source encoding become "?" as well.
// One encoder is meant to be kept and reused: it caches its conversion descriptors.
class TCodepageEncoder {
public:
    explicit TCodepageEncoder(uint16_t codepage);
    ~TCodepageEncoder();
    TCodepageEncoder(const TCodepageEncoder&) = delete;
    TCodepageEncoder& operator=(const TCodepageEncoder&) = delete;

    uint16_t Codepage() const { return FCodepage; }

    // UTF-8 text to bytes of the code page.
    std::string Encode(std::string_view utf8) const;
    void EncodeAppend(std::string_view utf8, std::string& out) const;
    // Bytes of the code page to UTF-8 text.
    std::string Decode(std::string_view bytes) const;

private:
    struct Impl;
    uint16_t FCodepage;
    std::unique_ptr<Impl> FImpl;
};

// One-off conversions (they build an encoder per call; keep an encoder for repeated use).
std::string Utf8ToCodepage(std::string_view utf8, uint16_t codepage);
std::string CodepageToUtf8(std::string_view bytes, uint16_t codepage);

}  // namespace itn
