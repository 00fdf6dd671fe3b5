#include "io/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <mutex>

namespace itn {

int DefaultCodepage() { return 1252; }

std::string CodepageIconvName(uint16_t codepage) {
    switch (codepage) {
        case kCodepageUtf8: return "UTF-8";
        case 20127: return "ASCII";
        case 20866: return "KOI8-R";
        case 21866: return "KOI8-U";
        case 51932: return "EUC-JP";
        case 51949: return "EUC-KR";
        case 54936: return "GB18030";
        case 874: return "CP874";
        case 28603: return "ISO-8859-13";
        case 28605: return "ISO-8859-15";
        default: break;
    }
    if (codepage >= 28591 && codepage <= 28599) return "ISO-8859-" + std::to_string(codepage - 28590);
    if (codepage == 0) return {};
    return "CP" + std::to_string(codepage);
}

bool CodepageAvailable(uint16_t codepage) {
    const std::string name = CodepageIconvName(codepage);
    if (name.empty()) return false;
    const iconv_t cd = iconv_open(name.c_str(), "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    iconv_close(cd);
    return true;
}

// Eight bytes at a time: a byte at or above 0x80 sets its top bit.
bool IsAscii(std::string_view s) {
    const char* p = s.data();
    size_t n = s.size();
    uint64_t any = 0;
    for (; n >= 8; p += 8, n -= 8) {
        uint64_t word;
        std::memcpy(&word, p, 8);
        any |= word;
    }
    for (; n > 0; ++p, --n) any |= static_cast<unsigned char>(*p);
    return (any & 0x8080808080808080ULL) == 0;
}

namespace {

// Length of the UTF-8 sequence starting with lead byte c; 1 for a stray byte.
size_t Utf8SequenceLength(unsigned char c) {
    if (c < 0xC0) return 1;
    if (c < 0xE0) return 2;
    if (c < 0xF0) return 3;
    return 4;
}

// Runs iconv over the whole input; an unconvertible or invalid piece becomes "?" and
// conversion goes on after it. `utf8_source` tells how far to skip over a bad piece.
void Convert(iconv_t cd, std::string_view in, bool utf8_source, std::string& out) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t src_left = in.size();
    char buf[4096];
    while (src_left > 0) {
        char* dst = buf;
        size_t dst_left = sizeof buf;
        size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
        out.append(buf, static_cast<size_t>(dst - buf));
        if (rc != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ (no mapping or invalid bytes) or EINVAL (truncated sequence at the end).
        size_t skip = utf8_source ? Utf8SequenceLength(static_cast<unsigned char>(*src)) : 1;
        if (skip > src_left) skip = src_left;
        src += skip;
        src_left -= skip;
        out.push_back('?');
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    char* dst = buf;
    size_t dst_left = sizeof buf;
    iconv(cd, nullptr, nullptr, &dst, &dst_left);
    out.append(buf, static_cast<size_t>(dst - buf));
}

}  // namespace

struct TCodepageEncoder::Impl {
    std::string name;
    mutable std::mutex lock;
    mutable iconv_t to_cp = reinterpret_cast<iconv_t>(-1);
    mutable iconv_t from_cp = reinterpret_cast<iconv_t>(-1);

    ~Impl() {
        if (to_cp != reinterpret_cast<iconv_t>(-1)) iconv_close(to_cp);
        if (from_cp != reinterpret_cast<iconv_t>(-1)) iconv_close(from_cp);
    }
};

TCodepageEncoder::TCodepageEncoder(uint16_t codepage) : FCodepage(codepage), FImpl(std::make_unique<Impl>()) {
    FImpl->name = CodepageIconvName(codepage);
}

TCodepageEncoder::~TCodepageEncoder() = default;

void TCodepageEncoder::EncodeAppend(std::string_view utf8, std::string& out) const {
    // Every supported code page keeps ASCII as it is, which is nearly all of our text.
    if (IsAscii(utf8)) {
        out.append(utf8);
        return;
    }
    std::lock_guard<std::mutex> guard(FImpl->lock);
    if (FImpl->to_cp == reinterpret_cast<iconv_t>(-1) && !FImpl->name.empty())
        FImpl->to_cp = iconv_open(FImpl->name.c_str(), "UTF-8");
    if (FImpl->to_cp == reinterpret_cast<iconv_t>(-1)) {
        // Unknown code page: keep ASCII, everything else is unmappable.
        for (size_t i = 0; i < utf8.size();) {
            unsigned char c = static_cast<unsigned char>(utf8[i]);
            if (c < 0x80) {
                out.push_back(static_cast<char>(c));
                ++i;
            } else {
                out.push_back('?');
                i += Utf8SequenceLength(c);
            }
        }
        return;
    }
    Convert(FImpl->to_cp, utf8, true, out);
}

std::string TCodepageEncoder::Encode(std::string_view utf8) const {
    std::string out;
    out.reserve(utf8.size());
    EncodeAppend(utf8, out);
    return out;
}

std::string TCodepageEncoder::Decode(std::string_view bytes) const {
    if (IsAscii(bytes)) return std::string(bytes);
    std::lock_guard<std::mutex> guard(FImpl->lock);
    if (FImpl->from_cp == reinterpret_cast<iconv_t>(-1) && !FImpl->name.empty())
        FImpl->from_cp = iconv_open("UTF-8", FImpl->name.c_str());
    std::string out;
    if (FImpl->from_cp == reinterpret_cast<iconv_t>(-1)) {
        for (unsigned char c : bytes) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        return out;
    }
    Convert(FImpl->from_cp, bytes, FCodepage == kCodepageUtf8, out);
    return out;
}

std::string Utf8ToCodepage(std::string_view utf8, uint16_t codepage) {
    return TCodepageEncoder(codepage).Encode(utf8);
}

std::string CodepageToUtf8(std::string_view bytes, uint16_t codepage) {
    return TCodepageEncoder(codepage).Decode(bytes);
}

}  // namespace itn
