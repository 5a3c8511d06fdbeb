#include "core/numtext.h"

#include "core/error.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tarnix {

long long roundHalfEven(long double x) {
    long double fl = std::floor(x);
    long double diff = x - fl;
    long long f = static_cast<long long>(fl);
    if (diff > 0.5L) return f + 1;
    if (diff < 0.5L) return f;
    return (f % 2 == 0) ? f : f + 1;
}

long long truncate(long double x) {
    return static_cast<long long>(std::trunc(x));
}

std::string fixedText(long double x, int decimals, int width) {
    char buf[128];
    // Values a double holds (coordinates, delays: several per trace of a run)
    // go through to_chars, which writes the same digits as printf, far faster.
    const double d = static_cast<double>(x);
    if (static_cast<long double>(d) == x && decimals >= 0 && decimals <= 40 && width >= 0 &&
        width < static_cast<int>(sizeof buf)) {
        const auto r =
            std::to_chars(buf, buf + sizeof buf - 1, d, std::chars_format::fixed, decimals);
        if (r.ec == std::errc()) {
            const int len = static_cast<int>(r.ptr - buf);
            return len >= width ? std::string(buf, len)
                                : std::string(width - len, ' ') + std::string(buf, len);
        }
    }
    int n = std::snprintf(buf, sizeof buf, "%*.*Lf", width, decimals, x);
    if (n < 0 || n >= static_cast<int>(sizeof buf)) return std::string(width > 0 ? width : 1, '*');
    return std::string(buf, n);
}

std::string intText(long long v, int width) {
    char buf[64];
    int n = std::snprintf(buf, sizeof buf, "%*lld", width, v);
    return std::string(buf, n);
}

std::string floatText(long double x) {
    if (x == 0) return "0";
    if (std::isnan(x)) return "NAN";
    if (std::isinf(x)) return x > 0 ? "INF" : "-INF";
    char buf[64];
    long double ax = std::fabs(x);
    if (ax >= 1e-4L && ax < 1e15L) {
        std::snprintf(buf, sizeof buf, "%.15Lg", x);
        std::string s(buf);
        // %Lg may still choose exponent form near the edges; fall through then.
        if (s.find('e') == std::string::npos) return s;
    }
    std::snprintf(buf, sizeof buf, "%.14Le", x);
    std::string s(buf);
    auto e = s.find('e');
    std::string mant = s.substr(0, e);
    if (mant.find('.') != std::string::npos) {
        while (!mant.empty() && mant.back() == '0') mant.pop_back();
        if (!mant.empty() && mant.back() == '.') mant.pop_back();
    }
    int exp = std::atoi(s.c_str() + e + 1);
    return mant + "E" + std::to_string(exp);
}

std::string exponentText(long double x) {
    constexpr int kWidth = 23;
    if (!std::isfinite(x)) {
        const std::string t = floatText(x);
        return std::string(kWidth - t.size(), ' ') + t;
    }
    char buf[64];
    const char* const begin = buf;
    const char* end = nullptr;
    // A sample a double holds (every integer and single float format) is
    // written by to_chars, which rounds as printf does, far faster.
    const double d = static_cast<double>(x);
    if (static_cast<long double>(d) == x) {
        const auto r =
            std::to_chars(buf, buf + sizeof buf - 1, d, std::chars_format::scientific, 14);
        end = r.ptr;
        *r.ptr = '\0';
    } else {
        end = buf + std::snprintf(buf, sizeof buf, "%.14Le", x);
    }
    const char* e = std::find(begin, end, 'e');
    std::string out;
    out.reserve(kWidth);
    if (buf[0] != '-') out += ' ';
    out.append(begin, e);
    out += 'E';
    out += e[1];
    const int exp = std::atoi(e + 2);
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04d", exp);
    out += digits;
    return out;
}

std::string trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n'))
        --e;
    return std::string(s.substr(b, e - b));
}

std::string upper(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

std::string lower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

bool tryParseInt(std::string_view text, long long& out) {
    std::string t = trim(text);
    if (t.empty()) return false;
    const char* p = t.c_str();
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(p, &end, 10);
    if (errno == ERANGE || end == p || *end != '\0') return false;
    out = v;
    return true;
}

bool tryParseFloat(std::string_view text, long double& out) {
    std::string t = trim(text);
    if (t.empty()) return false;
    // Hexadecimal floats, "inf" and "nan" are not numbers in our files.
    for (char c : t)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return false;
    const char* p = t.c_str();
    char* end = nullptr;
    errno = 0;
    long double v = std::strtold(p, &end);
    if (end == p || *end != '\0' || errno == ERANGE) return false;
    out = v;
    return true;
}

long long parseInt(std::string_view text) {
    long long v;
    if (!tryParseInt(text, v))
        throw ConversionError("'" + std::string(text) + "' is not a valid integer value");
    return v;
}

long double parseFloat(std::string_view text) {
    long double v;
    if (!tryParseFloat(text, v))
        throw ConversionError("'" + std::string(text) + "' is not a valid floating point value");
    return v;
}

bool NumberReader::word(std::string& out) {
    out.clear();
    int c;
    while ((c = in_.peek()) != EOF && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) in_.get();
    while ((c = in_.peek()) != EOF && !(c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
        out.push_back(static_cast<char>(c));
        in_.get();
    }
    return !out.empty();
}

bool NumberReader::next(long long& out) {
    std::string w;
    if (!word(w)) return false;
    out = parseInt(w);
    return true;
}

bool NumberReader::next(int& out) {
    long long v;
    if (!next(v)) return false;
    out = static_cast<int>(v);
    return true;
}

bool NumberReader::next(long double& out) {
    std::string w;
    if (!word(w)) return false;
    out = parseFloat(w);
    return true;
}

bool NumberReader::next(double& out) {
    long double v;
    if (!next(v)) return false;
    out = static_cast<double>(v);
    return true;
}

} // namespace tarnix
