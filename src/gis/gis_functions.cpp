#include "gis/gis_functions.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>

namespace itn {

void AppendFloatInv(std::string& out, double x) {
    if (std::isnan(x)) {
        out += "NAN";
        return;
    }
    if (std::isinf(x)) {
        out += x < 0 ? "-INF" : "INF";
        return;
    }
    if (x == 0) {
        out += '0';
        return;
    }
    // 15 significant digits: d.dddddddddddddde[+-]XX
    char buf[40];
    auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 14);
    const char* p = buf;
    bool negative = false;
    if (*p == '-') {
        negative = true;
        ++p;
    }
    char digits[16];
    int nd = 0;
    for (; p < res.ptr && *p != 'e'; ++p)
        if (*p != '.') digits[nd++] = *p;
    int exp10 = 0;
    const char* e = p + 1;
    if (e < res.ptr && *e == '+') ++e;
    std::from_chars(e, res.ptr, exp10);
    while (nd > 1 && digits[nd - 1] == '0') --nd;

    if (negative) out += '-';
    if (exp10 < -4 || exp10 >= 15) {
        out += digits[0];
        if (nd > 1) {
            out += '.';
            out.append(digits + 1, static_cast<size_t>(nd - 1));
        }
        out += 'E';
        out += std::to_string(exp10);
        return;
    }
    if (exp10 < 0) {
        out += "0.";
        out.append(static_cast<size_t>(-exp10 - 1), '0');
        out.append(digits, static_cast<size_t>(nd));
        return;
    }
    int int_digits = exp10 + 1;
    if (nd <= int_digits) {
        out.append(digits, static_cast<size_t>(nd));
        out.append(static_cast<size_t>(int_digits - nd), '0');
    } else {
        out.append(digits, static_cast<size_t>(int_digits));
        out += '.';
        out.append(digits + int_digits, static_cast<size_t>(nd - int_digits));
    }
}

std::string FloatToStrInv(double x) {
    std::string s;
    AppendFloatInv(s, x);
    return s;
}

std::string ToAnsi(std::string_view text, uint16_t codepage) { return Utf8ToCodepage(text, codepage); }

bool IsTrueText(std::string_view text) {
    if (text.empty()) return false;
    switch (text[0]) {
        case '1': case 'T': case 'Y': case 't': case 'y': return true;
        default: return false;
    }
}

std::string XmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendXmlEscape(out, text);
    return out;
}

bool AppendXmlEscape(std::string& out, std::string_view text) {
    // Copy the runs between special characters in one piece each: most values have none.
    // The five characters and the control characters all lie below 64: one bit each in a
    // mask. U+FFFE and U+FFFF start with 0xEF.
    constexpr uint64_t kControls = 0xFFFFFFFFull & ~((1ull << '\t') | (1ull << '\n') | (1ull << '\r'));
    constexpr uint64_t kSpecial =
        kControls | (1ull << '"') | (1ull << '&') | (1ull << '\'') | (1ull << '<') | (1ull << '>');
    bool dropped = false;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == 0xEF) {
            // U+FFFE and U+FFFF (EF BF BE, EF BF BF) are not XML characters either.
            if (i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xBF &&
                (static_cast<unsigned char>(text[i + 2]) & 0xFE) == 0xBE) {
                out.append(text, start, i - start);
                dropped = true;
                i += 2;
                start = i + 1;
            }
            continue;
        }
        if (c >= 64 || !((kSpecial >> c) & 1)) continue;
        const char* entity;
        switch (text[i]) {
            case '"': entity = "&quot;"; break;
            case '&': entity = "&amp;"; break;
            case '\'': entity = "&apos;"; break;
            case '<': entity = "&lt;"; break;
            case '>': entity = "&gt;"; break;
            default:
                // A control character that XML 1.0 forbids, even as a reference: left out.
                entity = "";
                dropped = true;
                break;
        }
        out.append(text, start, i - start);
        out += entity;
        start = i + 1;
    }
    out.append(text, start, std::string_view::npos);
    return !dropped;
}

std::string_view UnusableCoordinate(std::string_view Text) {
    // Plain decimals are the rule: only a text with letters in it needs a closer look.
    if (Text.find_first_of("eEiInN") == std::string_view::npos) return {};
    // Far beyond any grid's range, yet small enough that lengths and sums stay finite.
    constexpr double kLargest = 1e12;
    auto separates = [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == ','; };
    size_t i = 0;
    const size_t n = Text.size();
    while (i < n) {
        while (i < n && separates(Text[i])) ++i;
        const size_t start = i;
        while (i < n && !separates(Text[i])) ++i;
        if (start == i) break;
        std::string_view value = Text.substr(start, i - start);
        if (value[0] == '+') value.remove_prefix(1);
        double v = 0;
        const auto result = std::from_chars(value.data(), value.data() + value.size(), v, std::chars_format::general);
        const bool whole = result.ptr == value.data() + value.size();
        if (result.ec == std::errc::result_out_of_range || (whole && !(std::fabs(v) <= kLargest))) {
            return Text.substr(start, i - start);
        }
    }
    return {};
}

double GreatCircleAngle(const TFloatPoint& P1, const TFloatPoint& P2) {
    const double k = M_PI / 180.0;
    const double phi1 = P1.y * k, phi2 = P2.y * k, lam1 = P1.x * k, lam2 = P2.x * k;
    const double s1 = std::sin((phi1 - phi2) / 2), s2 = std::sin((lam1 - lam2) / 2);
    return 2 * std::asin(std::min(1.0, std::sqrt(s1 * s1 + std::cos(phi1) * std::cos(phi2) * s2 * s2)));
}

std::string CodepageToCharsetName(int codepage) {
    switch (codepage) {
        case 437: case 850: case 852: case 855: case 857: case 860: case 861: case 863: case 864: case 865:
        case 869:
            return "CodePage" + std::to_string(codepage);
        case 932: return "WindowsJapanese";
        case 936: return "WindowsSimpChinese";
        case 949: return "WindowsKorean";
        case 950: return "WindowsTradChinese";
        case 1250: return "WindowsLatin2";
        case 1251: return "WindowsCyrillic";
        case 1252: return "WindowsLatin1";
        case 1253: return "WindowsGreek";
        case 1254: return "WindowsTurkish";
        case 1255: return "WindowsHebrew";
        case 1256: return "WindowsArabic";
        case 51932: return "PackedEUCJapanese";
        case 65001: return "UTF-8";
        default: break;
    }
    if (codepage >= 28591 && codepage <= 28599) return "ISO8859_" + std::to_string(codepage - 28590);
    return "Unknown CodePage";
}

bool CanWriteCodepage(int codepage) {
    return codepage > 0 && codepage <= 65535 && CodepageToCharsetName(codepage) != "Unknown CodePage" &&
           CodepageAvailable(static_cast<uint16_t>(codepage));
}

uint8_t CodepageToLanguageDriver(int codepage) {
    switch (codepage) {
        case 437: return 0x01;
        case 850: return 0x02;
        case 1252: return 0x03;
        case 10000: return 0x04;
        case 865: return 0x08;
        case 932: return 0x13;
        case 863: return 0x1C;
        case 852: return 0x1F;
        case 867: return 0x20;
        case 860: return 0x24;
        case 866: return 0x26;
        case 936: return 0x4D;
        case 949: return 0x4E;
        case 950: return 0x4F;
        case 874: return 0x50;
        case 861: return 0x67;
        case 895: return 0x68;
        case 620: return 0x69;
        case 737: return 0x6A;
        case 857: return 0x6B;
        case 1255: return 0x7D;
        case 1256: return 0x7E;
        case 862: return 0x85;
        case 868: return 0x8E;
        case 10007: return 0x96;
        case 10029: return 0x97;
        case 10006: return 0x98;
        case 1250: return 0x9B;
        case 1251: return 0xC9;
        case 1254: return 0xCA;
        case 1253: return 0xCB;
        default: return 0;
    }
}

namespace {

// The digits of |x| * 10^decimals rounded half away from zero (no leading zeros, "0" for zero),
// where x = 0.d1d2... * 10^(exp10 + 1) for the given digits d1 d2 ...
std::string RoundDigits(std::string_view digits, int exp10, int decimals) {
    const long keep = static_cast<long>(exp10) + 1 + decimals;  // digits down to the 10^-decimals place
    std::string kept;
    if (keep >= 0) {
        kept = digits.substr(0, std::min<size_t>(static_cast<size_t>(keep), digits.size()));
        kept.append(static_cast<size_t>(keep) - kept.size(), '0');
        if (static_cast<size_t>(keep) < digits.size() && digits[static_cast<size_t>(keep)] >= '5') {
            long i = static_cast<long>(kept.size()) - 1;
            for (; i >= 0 && kept[static_cast<size_t>(i)] == '9'; --i) kept[static_cast<size_t>(i)] = '0';
            if (i >= 0)
                kept[static_cast<size_t>(i)] += 1;
            else
                kept.insert(kept.begin(), '1');
        }
    }
    const size_t nonzero = kept.find_first_not_of('0');
    return nonzero == std::string::npos ? "0" : kept.substr(nonzero);
}

// Rounds the shortest decimal form of value, so 2.675 rounds to 2.68 as its text suggests
// rather than by its binary expansion (2.67499...).
std::string RoundedDigits(double value, int decimals) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
    std::string digits;
    const char* p = buf;
    for (; p < res.ptr && *p != 'e'; ++p)
        if (*p != '.') digits += *p;
    int exp10 = 0;
    const char* e = p + 1;
    if (e < res.ptr && *e == '+') ++e;
    std::from_chars(e, res.ptr, exp10);
    return RoundDigits(digits, exp10, decimals);
}

// The rounded digits n (of |value| * 10^decimals) as sign, integer part, point and decimals,
// right-aligned in Width characters of dest.
void PutFixed(int Width, int decimals, char* dest, bool negative, std::string n) {
    std::string s;
    if (n.size() < static_cast<size_t>(decimals) + 1) n.insert(0, static_cast<size_t>(decimals) + 1 - n.size(), '0');
    if (negative && n.find_first_not_of('0') != std::string::npos) s += '-';
    s.append(n, 0, n.size() - static_cast<size_t>(decimals));
    if (decimals > 0) {
        s += '.';
        s.append(n, n.size() - static_cast<size_t>(decimals), std::string::npos);
    }
    const size_t width = static_cast<size_t>(Width);
    if (s.size() < width) s.insert(0, width - s.size(), ' ');
    std::memcpy(dest, s.data(), width);
}

}  // namespace

void FormatFixedNumber(int Width, int decimals, char* dest, double value) {
    if (Width <= 0) return;
    if (decimals < 0) decimals = 0;
    if (std::isnan(value) || std::isinf(value)) {
        std::string s = std::isnan(value) ? "NAN" : value < 0 ? "-INF" : "INF";
        if (s.size() < static_cast<size_t>(Width)) s.insert(0, static_cast<size_t>(Width) - s.size(), ' ');
        std::memcpy(dest, s.data(), static_cast<size_t>(Width));
        return;
    }
    PutFixed(Width, decimals, dest, value < 0, RoundedDigits(value, decimals));
}

bool FormatFixedDecimalText(int Width, int decimals, char* dest, std::string_view text) {
    if (Width <= 0) return true;
    if (decimals < 0) decimals = 0;
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // A whole number without leading zeros into a field without decimals, the usual case, as it stands.
    if (decimals == 0 && !text.empty() && text.size() <= 15 && (text.front() != '0' || text.size() == 1) &&
        text.find_first_not_of("0123456789") == std::string_view::npos) {
        const size_t width = static_cast<size_t>(Width);
        const bool sign = negative && text != "0";
        const size_t len = text.size() + (sign ? 1 : 0);
        const size_t pad = len < width ? width - len : 0;
        std::memset(dest, ' ', pad);
        char* p = dest + pad;
        const char* end = dest + width;
        if (sign && p < end) *p++ = '-';
        std::memcpy(p, text.data(), std::min<size_t>(text.size(), static_cast<size_t>(end - p)));
        return true;
    }
    const size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() && fraction.empty()) return false;
    for (std::string_view part : {whole, fraction})
        for (char c : part)
            if (c < '0' || c > '9') return false;
    // Significant digits and the power of ten of the first one.
    std::string digits;
    int exp10 = 0;
    const size_t lead = whole.find_first_not_of('0');
    if (lead != std::string_view::npos) {
        digits.append(whole.substr(lead));
        exp10 = static_cast<int>(whole.size() - lead) - 1;
        digits.append(fraction);
    } else {
        const size_t first = fraction.find_first_not_of('0');
        if (first != std::string_view::npos) {
            digits.append(fraction.substr(first));
            exp10 = -static_cast<int>(first) - 1;
        }
    }
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    // Beyond 15 digits a double does not keep the text's digits: the caller reads it as a number.
    if (digits.size() > 15) return false;
    if (digits.empty()) digits = "0", exp10 = 0;
    PutFixed(Width, decimals, dest, negative, RoundDigits(digits, exp10, decimals));
    return true;
}

bool TryStrToFloatInv(std::string_view text, double& value) {
    auto is_blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // A digit or a point must come first: this also turns away "inf" and "nan".
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text.front())) || text.front() == '.')) return false;
    double v = 0;
    auto res = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return false;
    value = negative ? -v : v;
    return true;
}

}  // namespace itn
