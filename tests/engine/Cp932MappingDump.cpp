// Writes the codec's whole mapping as text, one line per input: every single byte and
// every pair of bytes decoded, every UTF-16 unit encoded. Given the same dump made on
// another platform, compares the two; a difference between the platforms' converters shows
// in a comparison of the files as the inputs it touches.
//
//   cp932_mapping_dump OUT [REFERENCE]

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "engine/Cp932Codec.h"

namespace {

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, " %0*X", digits, value);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::cerr << "usage: cp932_mapping_dump OUT [REFERENCE]\n";
        return 2;
    }
    quillery::Cp932Codec codec;
    std::string mapping;
    for (unsigned input = 0; input < 0x10100; ++input) {
        // 0..FF the single bytes, then every pair as 100 + its two bytes.
        const bool pair = input >= 0x100;
        const unsigned bytes = input - (pair ? 0x100 : 0);
        mapping += "decode" + Hex(bytes, pair ? 4 : 2) + " ->";
        std::string in(1, static_cast<char>(bytes >> (pair ? 8 : 0)));
        if (pair) {
            in += static_cast<char>(bytes & 0xFF);
        }
        for (const char16_t u : codec.Decode(in)) {
            mapping += Hex(u, 4);
        }
        mapping += '\n';
    }
    for (unsigned u = 0; u < 0x10000; ++u) {
        mapping += "encode" + Hex(u, 4) + " ->";
        for (const char c : codec.Encode(std::u16string(1, static_cast<char16_t>(u)))) {
            mapping += Hex(static_cast<unsigned char>(c), 2);
        }
        mapping += '\n';
    }
    if (!(std::ofstream(argv[1], std::ios::binary) << mapping).flush()) {
        std::cerr << "cannot write " << argv[1] << '\n';
        return 1;
    }
    if (argc == 2) {
        return 0;
    }
    std::ifstream in(argv[2], std::ios::binary);
    const std::string reference{std::istreambuf_iterator<char>(in), {}};
    if (reference != mapping) {
        std::cerr << argv[2] << " differs; compare the two files to see where\n";
        return 1;
    }
    std::cout << "the mapping equals the reference\n";
    return 0;
}
