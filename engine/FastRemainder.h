#pragma once

#include <cstdint>

namespace quillery {

// value mod divisor by multiplication with a 32-bit reciprocal (Lemire, Kaser and Kurz,
// "Faster remainder by direct computation", 2019): exact for every value 0..32767 (a
// random value) and every divisor 1..32768, which the engine tests check exhaustively
// against PlainRemainder. A division at every phrase would cost more than all the rest
// of an insertion.
class FastRemainder {
  public:
    explicit constexpr FastRemainder(std::uint32_t divisor)
        : divisor_(divisor),
          reciprocal_(divisor == 0 ? 0 : ((std::uint64_t{1} << 32) + divisor - 1) / divisor) {}

    constexpr std::uint32_t operator()(std::uint32_t value) const {
        const auto low = static_cast<std::uint32_t>(reciprocal_ * value);
        return static_cast<std::uint32_t>((std::uint64_t{low} * divisor_) >> 32);
    }

  private:
    std::uint64_t divisor_;
    std::uint64_t reciprocal_;  // ceil(2^32 / divisor)
};

// What FastRemainder computes, the plain way.
constexpr std::uint32_t PlainRemainder(std::uint32_t value, std::uint32_t divisor) {
    return value % divisor;
}

}  // namespace quillery
