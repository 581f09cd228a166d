#include "web/ExportBuffer.h"

#include <emscripten/emscripten.h>

#include <cstdint>

#include "engine/Utf8.h"

namespace quillery::web {

namespace {
std::string gResult;
}

void SetResult(std::string bytes) {
    gResult = std::move(bytes);
}

void SetResult(std::u16string_view text) {
    gResult.assign(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

std::string JsonString(std::u16string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        // Every unit below 0x80 but the printable ones, and every surrogate (a lone one
        // has no UTF-8), is written as an escape, so the result is always valid UTF-8.
        if (c == u'"' || c == u'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else if (c >= 0x80 && (c < 0xD800 || c > 0xDFFF)) {
            out += *Utf16ToUtf8(text.substr(i, 1));
        } else {
            static constexpr char kHex[] = "0123456789abcdef";
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4) {
                out += kHex[(c >> shift) & 0xF];
            }
        }
    }
    return out + "\"";
}

}  // namespace quillery::web

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* qm_result_data() {
    return quillery::web::gResult.data();
}

EMSCRIPTEN_KEEPALIVE int qm_result_size() {
    return static_cast<int>(quillery::web::gResult.size());
}

}  // extern "C"
