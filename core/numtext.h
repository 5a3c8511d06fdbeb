#pragma once
// Number texts and roundings shared by every layer, so that a value is rounded
// and written the same way in the window, the files and the headless command.
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

namespace tarnix {

// Nearest integer, halves to the even neighbour (round(2.5) = 2, round(127.5) = 128).
long long roundHalfEven(long double x);
// Toward zero.
long long truncate(long double x);
// Integer division toward zero, as the run-time's div (C++ / already does this).
inline long long divTrunc(long long a, long long b) {
    return a / b;
}

// Fixed-point text with `decimals` decimals, right-aligned in at least `width`
// characters: fixedText(12.5, 1, 3) = "12.5", fixedText(10, 2, 4) = "10.00".
std::string fixedText(long double x, int decimals, int width = 0);
// Integer right-aligned in at least `width` characters.
std::string intText(long long v, int width = 0);
// The default floating-point text: up to 15 significant digits, no trailing
// zeros, exponent form "1E-5" / "1.5E20" outside 1e-4 .. 1e15.
std::string floatText(long double x);
// Exponent form in 23 characters: sign or blank, one digit, 14 decimals, "E",
// exponent sign and 4 digits: " 1.25000000000000E+0003", "-5.00000000000000E-0001".
// Values that are not numbers give "NAN", "INF" or "-INF", right-aligned in 23.
std::string exponentText(long double x);

// Free-format conversions of a whole text (surrounding blanks allowed).
// Throw ConversionError "'TEXT' is not a valid integer value" / "... floating point value".
long long parseInt(std::string_view text);
long double parseFloat(std::string_view text);
bool tryParseInt(std::string_view text, long long& out);
bool tryParseFloat(std::string_view text, long double& out);

// Reads numbers one after the other from a text stream, skipping blanks and
// line ends, as a free-format read does. Returns false at the end of the stream;
// throws ConversionError when the next word is not a number.
class NumberReader {
public:
    explicit NumberReader(std::istream& in) : in_(in) {}
    bool next(long long& out);
    bool next(long double& out);
    bool next(double& out);
    bool next(int& out);
    // The next blank-separated word, or false at the end.
    bool word(std::string& out);

private:
    std::istream& in_;
};

std::string trim(std::string_view s);
std::string upper(std::string_view s);
std::string lower(std::string_view s);

} // namespace tarnix
