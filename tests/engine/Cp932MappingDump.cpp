// Writes the codec's whole mapping as text, one line per input: every single byte and
// every pair of bytes decoded, every UTF-16 unit encoded. Given the same dump made on
// another platform, compares the two and prints where they differ, so that a difference
// between the platforms' converters shows as the inputs it touches.
//
//   cp932_mapping_dump OUT [REFERENCE]

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "engine/Cp932Codec.h"

namespace {

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

std::vector<std::string> Mapping() {
    quillery::Cp932Codec codec;
    std::vector<std::string> lines;
    const auto decode = [&](const std::string& bytes, int digits, unsigned value) {
        std::string line = "decode " + Hex(value, digits) + " ->";
        for (const char16_t u : codec.Decode(bytes)) {
            line += ' ' + Hex(u, 4);
        }
        lines.push_back(line);
    };
    for (unsigned b = 0; b < 0x100; ++b) {
        decode(std::string(1, static_cast<char>(b)), 2, b);
    }
    for (unsigned pair = 0; pair < 0x10000; ++pair) {
        decode({static_cast<char>(pair >> 8), static_cast<char>(pair & 0xFF)}, 4, pair);
    }
    for (unsigned u = 0; u < 0x10000; ++u) {
        std::string line = "encode " + Hex(u, 4) + " ->";
        for (const char c : codec.Encode(std::u16string(1, static_cast<char16_t>(u)))) {
            line += ' ' + Hex(static_cast<unsigned char>(c), 2);
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::cerr << "usage: cp932_mapping_dump OUT [REFERENCE]\n";
        return 2;
    }
    const std::vector<std::string> mapping = Mapping();
    std::ofstream out(argv[1], std::ios::binary);
    for (const std::string& line : mapping) {
        out << line << '\n';
    }
    if (!out.flush()) {
        std::cerr << "cannot write " << argv[1] << '\n';
        return 1;
    }
    if (argc == 2) {
        return 0;
    }
    std::vector<std::string> reference;
    std::ifstream in(argv[2], std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        reference.push_back(line);
    }
    if (reference.size() != mapping.size()) {
        std::cerr << argv[2] << " has " << reference.size() << " lines, this mapping "
                  << mapping.size() << '\n';
        return 1;
    }
    int differences = 0;
    for (std::size_t i = 0; i < mapping.size(); ++i) {
        if (mapping[i] != reference[i] && ++differences <= 40) {
            std::cerr << "here: " << mapping[i] << "   reference: " << reference[i] << '\n';
        }
    }
    if (differences > 0) {
        std::cerr << differences << " of " << mapping.size() << " lines differ\n";
        return 1;
    }
    std::cout << "all " << mapping.size() << " lines equal the reference\n";
    return 0;
}
