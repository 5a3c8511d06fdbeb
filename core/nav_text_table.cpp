#include "core/nav_text_table.h"

#include "core/numtext.h"

namespace tarnix {

std::string navLineText(const NavLineNumbers& n) {
    std::string text = std::to_string(n.shot);
    for (int32_t v : {n.year, n.day, n.hour, n.minute, n.second}) {
        text.push_back(' ');
        text.append(std::to_string(v));
    }
    text.push_back(' ');
    text.append(fixedText(n.lat, 8, 4));
    text.push_back(' ');
    text.append(fixedText(n.lon, 8, 4));
    if (text.size() > 255) text.resize(255);
    return text;
}

} // namespace tarnix
