#pragma once
// The textual header display of a SEG-Y file: 3600 bytes as 45 lines of 80
// characters, the 40 text lines followed by the binary header shown as text.
#include <string>
#include <vector>

namespace tarnix {

// One EBCDIC byte as shown: letters, digits and 15 punctuation marks; every
// other code, the blank, "." and "-" among them, becomes a blank.
char ebcdicChar(unsigned char code);

// Lines of 80 characters from `size` bytes, EBCDIC-translated or as they are.
std::vector<std::string> segyTextLines(const unsigned char* bytes, int size, bool ebcdic);

} // namespace tarnix
