// A strict reader of the XPM images the program carries as icons: the header
// line "<width> <height> <colours> <chars per pixel>", one line per colour
// ("<key> c #RRGGBB" or "<key> c None"), then one line per row. Decodes to
// ARGB pixels (alpha 0 for None, 0xFF otherwise), row by row.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

struct XpmImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// Decodes `lines` (`count` strings, the whole array); false with `why` set
// when the data is no well-formed XPM image.
inline bool DecodeXpm(const char* const* lines, size_t count, XpmImage& image, std::string& why)
{
    if (!lines || count == 0 || !lines[0]) return why = "no header line", false;
    std::istringstream header(lines[0]);
    int width = 0, height = 0, colours = 0, cpp = 0;
    std::string rest;
    if (!(header >> width >> height >> colours >> cpp) || (header >> rest))
        return why = "header is not four numbers: \"" + std::string(lines[0]) + "\"", false;
    if (width <= 0 || height <= 0 || colours <= 0 || cpp <= 0) return why = "header values not positive", false;
    if (count != 1 + static_cast<size_t>(colours) + static_cast<size_t>(height))
        return why = "array has " + std::to_string(count) + " lines, header asks for " +
                     std::to_string(1 + colours + height),
               false;
    std::map<std::string, uint32_t> table;
    for (int i = 0; i < colours; ++i) {
        std::string line = lines[1 + i];
        if (line.size() < static_cast<size_t>(cpp) + 4) return why = "short colour line " + line, false;
        std::string key = line.substr(0, static_cast<size_t>(cpp));
        std::istringstream spec(line.substr(static_cast<size_t>(cpp)));
        std::string kind, value;
        if (!(spec >> kind >> value) || kind != "c" || (spec >> rest))
            return why = "colour line is not \"<key> c <colour>\": " + line, false;
        uint32_t argb = 0;
        if (value == "None") {
            argb = 0;
        } else if (value.size() == 7 && value[0] == '#' &&
                   value.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos) {
            argb = 0xFF000000u | static_cast<uint32_t>(std::strtoul(value.c_str() + 1, nullptr, 16));
        } else {
            return why = "colour is neither #RRGGBB nor None: " + line, false;
        }
        if (!table.emplace(key, argb).second) return why = "colour key defined twice: " + line, false;
    }
    image.width = width;
    image.height = height;
    image.pixels.clear();
    for (int y = 0; y < height; ++y) {
        std::string row = lines[1 + colours + y];
        if (row.size() != static_cast<size_t>(width) * static_cast<size_t>(cpp))
            return why = "row " + std::to_string(y) + " has " + std::to_string(row.size()) + " characters", false;
        for (int x = 0; x < width; ++x) {
            auto it = table.find(row.substr(static_cast<size_t>(x) * static_cast<size_t>(cpp), static_cast<size_t>(cpp)));
            if (it == table.end())
                return why = "row " + std::to_string(y) + " uses an undefined colour at " + std::to_string(x), false;
            image.pixels.push_back(it->second);
        }
    }
    return true;
}

template <size_t N>
bool DecodeXpm(const char* const (&lines)[N], XpmImage& image, std::string& why)
{
    return DecodeXpm(lines, N, image, why);
}
