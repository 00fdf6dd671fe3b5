#include "gis/gis_functions.h"

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
    for (char c : text) {
        switch (c) {
            case '"': out += "&quot;"; break;
            case '&': out += "&amp;"; break;
            case '\'': out += "&apos;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            default: out += c; break;
        }
    }
    return out;
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

}  // namespace itn
