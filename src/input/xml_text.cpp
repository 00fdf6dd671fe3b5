#include "input/xml_text.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

namespace itn::xml {

std::string_view TrimBlanks(std::string_view Text) {
    size_t b = 0, e = Text.size();
    while (b < e && IsBlank(Text[b])) ++b;
    while (e > b && IsBlank(Text[e - 1])) --e;
    return Text.substr(b, e - b);
}

bool IsAllBlank(std::string_view Text) {
    for (char c : Text)
        if (!IsBlank(c)) return false;
    return true;
}

namespace {

inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The code point of a numeric reference body (the text between "&#" and ";"), or -1.
int32_t NumericReference(std::string_view Body) {
    if (Body.empty()) return -1;
    int base = 10;
    if (Body[0] == 'x' || Body[0] == 'X') {
        base = 16;
        Body.remove_prefix(1);
        if (Body.empty()) return -1;
    }
    uint32_t value = 0;
    for (char c : Body) {
        int d = base == 16 ? HexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (d < 0) return -1;
        value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(d);
        if (value >= 0xFFFF) return -1;  // only values below 0xFFFF are resolved
    }
    return static_cast<int32_t>(value);
}

}  // namespace

bool SameTextAscii(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (size_t i = 0; i < A.size(); ++i)
        if (A[i] != B[i] && LowerAscii(A[i]) != LowerAscii(B[i])) return false;
    return true;
}

void AppendUtf8(std::string& Out, uint32_t CodePoint) {
    if (CodePoint >= 0xD800 && CodePoint <= 0xDFFF) CodePoint = 0xFFFD;
    if (CodePoint < 0x80) {
        Out.push_back(static_cast<char>(CodePoint));
    } else if (CodePoint < 0x800) {
        Out.push_back(static_cast<char>(0xC0 | (CodePoint >> 6)));
        Out.push_back(static_cast<char>(0x80 | (CodePoint & 0x3F)));
    } else if (CodePoint < 0x10000) {
        Out.push_back(static_cast<char>(0xE0 | (CodePoint >> 12)));
        Out.push_back(static_cast<char>(0x80 | ((CodePoint >> 6) & 0x3F)));
        Out.push_back(static_cast<char>(0x80 | (CodePoint & 0x3F)));
    } else {
        Out.push_back(static_cast<char>(0xF0 | (CodePoint >> 18)));
        Out.push_back(static_cast<char>(0x80 | ((CodePoint >> 12) & 0x3F)));
        Out.push_back(static_cast<char>(0x80 | ((CodePoint >> 6) & 0x3F)));
        Out.push_back(static_cast<char>(0x80 | (CodePoint & 0x3F)));
    }
}

void AppendResolved(std::string& Out, std::string_view Raw) {
    while (!Raw.empty()) {
        const char* amp = static_cast<const char*>(std::memchr(Raw.data(), '&', Raw.size()));
        if (amp == nullptr) break;
        size_t a = static_cast<size_t>(amp - Raw.data());
        const char* semi = static_cast<const char*>(std::memchr(amp, ';', Raw.size() - a));
        if (semi == nullptr) break;
        size_t s = static_cast<size_t>(semi - Raw.data());
        Out.append(Raw.data(), a);
        std::string_view ref = Raw.substr(a, s - a + 1);  // "&...;"
        std::string_view body = ref.substr(1, ref.size() - 2);
        bool done = true;
        if (body == "amp") Out.push_back('&');
        else if (body == "lt") Out.push_back('<');
        else if (body == "gt") Out.push_back('>');
        else if (body == "apos") Out.push_back('\'');
        else if (body == "quot") Out.push_back('"');
        else if (!body.empty() && body[0] == '#') {
            int32_t cp = NumericReference(body.substr(1));
            if (cp >= 0) AppendUtf8(Out, static_cast<uint32_t>(cp));
            else done = false;
        } else {
            done = false;
        }
        if (!done) Out.append(ref);
        Raw.remove_prefix(s + 1);
    }
    Out.append(Raw);
}

std::string ResolveReferences(std::string_view Raw) {
    std::string out;
    if (std::memchr(Raw.data(), '&', Raw.size()) == nullptr) {
        out.assign(Raw);
        return out;
    }
    out.reserve(Raw.size());
    AppendResolved(out, Raw);
    return out;
}

std::string UnquoteValue(std::string_view Stored) {
    if (Stored.size() < 2 || (Stored[0] != '"' && Stored[0] != '\'')) return std::string(Stored);
    const char q = Stored[0];
    std::string out;
    size_t i = 1;
    while (i < Stored.size()) {
        const char* next = static_cast<const char*>(std::memchr(Stored.data() + i, q, Stored.size() - i));
        if (next == nullptr) {
            out.append(Stored.substr(i));
            break;
        }
        size_t k = static_cast<size_t>(next - Stored.data());
        out.append(Stored.data() + i, k - i);
        if (k + 1 < Stored.size() && Stored[k + 1] == q) {  // doubled quote
            out.push_back(q);
            i = k + 2;
        } else {
            break;  // closing quote
        }
    }
    return out;
}

bool ParseInteger32(std::string_view Text, int32_t& Value) {
    size_t i = 0;
    while (i < Text.size() && Text[i] == ' ') ++i;
    bool negative = false;
    if (i < Text.size() && (Text[i] == '+' || Text[i] == '-')) {
        negative = Text[i] == '-';
        ++i;
    }
    if (i == Text.size()) return false;
    int64_t v = 0;
    for (; i < Text.size(); ++i) {
        char c = Text[i];
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
        if (v > static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1) return false;
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<int32_t>::max() || v < std::numeric_limits<int32_t>::min()) return false;
    Value = static_cast<int32_t>(v);
    return true;
}

bool ParseFloat(std::string_view Text, double& Value) {
    std::string buf;
    buf.reserve(Text.size());
    size_t i = 0;
    while (i < Text.size() && Text[i] == ' ') ++i;
    bool negative = false;
    if (i < Text.size() && (Text[i] == '+' || Text[i] == '-')) {
        negative = Text[i] == '-';
        ++i;
    }
    // Validate the shape ourselves so that from_chars sees only what we accept.
    size_t digits = 0;
    size_t start = i;
    while (i < Text.size() && Text[i] >= '0' && Text[i] <= '9') ++i, ++digits;
    if (i < Text.size() && (Text[i] == '.' || Text[i] == ',')) {
        ++i;
        while (i < Text.size() && Text[i] >= '0' && Text[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < Text.size() && (Text[i] == 'e' || Text[i] == 'E')) {
        ++i;
        if (i < Text.size() && (Text[i] == '+' || Text[i] == '-')) ++i;
        size_t exp_digits = 0;
        while (i < Text.size() && Text[i] >= '0' && Text[i] <= '9') ++i, ++exp_digits;
        if (exp_digits == 0) return false;
    }
    if (i != Text.size()) return false;
    buf.assign(Text.data() + start, i - start);
    for (char& c : buf)
        if (c == ',') c = '.';
    double v = 0;
    auto [ptr, ec] = std::from_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Underflow (a negative exponent, or no non-zero digit before the point) reads as
        // zero; overflow is not a number we can give back.
        size_t e = buf.find_first_of("eE");
        bool negative_exponent = e != std::string::npos && e + 1 < buf.size() && buf[e + 1] == '-';
        std::string_view whole(buf.data(), std::min(buf.find('.'), e == std::string::npos ? buf.size() : e));
        bool zero_whole = whole.find_first_not_of('0') == std::string_view::npos;
        if (!negative_exponent && !zero_whole) return false;
        v = 0.0;
    } else if (ec != std::errc() || ptr != buf.data() + buf.size()) {
        return false;
    }
    Value = negative ? -v : v;
    return true;
}

}  // namespace itn::xml
