#pragma once

// A check that stops the process, so that libFuzzer keeps the input; a reader of it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (false)

namespace quillery::fuzz {

// Reads the input front to back; past its end every byte is 0.
class Reader {
  public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint16_t Uint16() {
        const std::uint16_t low = Byte();
        return static_cast<std::uint16_t>(low | Byte() << 8);
    }
    std::uint32_t Uint32() {
        const std::uint32_t low = Uint16();
        return low | static_cast<std::uint32_t>(Uint16()) << 16;
    }
    // At most `count` bytes, fewer at the end of the input.
    std::string_view Bytes(std::size_t count) {
        const std::size_t n = count < size_ - pos_ ? count : size_ - pos_;
        pos_ += n;
        return {reinterpret_cast<const char*>(data_ + pos_ - n), n};
    }
    std::string_view Rest() { return Bytes(size_ - pos_); }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace quillery::fuzz
