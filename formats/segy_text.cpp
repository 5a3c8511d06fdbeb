#include "formats/segy_text.h"

#include <array>

namespace tarnix {

namespace {

struct EbcdicTable {
    std::array<char, 256> c{};
    constexpr EbcdicTable() {
        for (auto& x : c) x = ' ';
        auto run = [this](int from, int to, char first) {
            for (int i = from; i <= to; ++i) c[i] = static_cast<char>(first + (i - from));
        };
        run(0x81, 0x89, 'a');
        run(0x91, 0x99, 'j');
        run(0xA2, 0xA9, 's');
        run(0xC1, 0xC9, 'A');
        run(0xD1, 0xD9, 'J');
        run(0xE2, 0xE9, 'S');
        run(0xF0, 0xF9, '0');
        c[0x5A] = '!';
        c[0x5B] = '$';
        c[0x5C] = '*';
        c[0x5D] = ')';
        c[0x5E] = ';';
        c[0x6B] = ',';
        c[0x6C] = '%';
        c[0x6D] = '_';
        c[0x6E] = '>';
        c[0x6F] = '?';
        c[0x7A] = ':';
        c[0x7B] = '#';
        c[0x7C] = '@';
        c[0x7E] = '=';
        c[0x7F] = '"';
    }
};
constexpr EbcdicTable kEbcdic;

} // namespace

char ebcdicChar(unsigned char code) {
    return kEbcdic.c[code];
}

std::vector<std::string> segyTextLines(const unsigned char* bytes, int size, bool ebcdic) {
    std::vector<std::string> lines;
    lines.reserve(size / 80);
    std::string line;
    line.reserve(80);
    for (int i = 0; i < size; ++i) {
        line.push_back(ebcdic ? ebcdicChar(bytes[i]) : static_cast<char>(bytes[i]));
        if ((i + 1) % 80 == 0) {
            lines.push_back(line);
            line.clear();
        }
    }
    return lines;
}

} // namespace tarnix
