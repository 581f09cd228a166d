#pragma once

#include <cstdint>

namespace quillery {

// The Microsoft runtime's srand/rand, reproduced exactly so that a seed gives the same
// sequence on every platform: values 0..32767.
class RandomSource {
  public:
    void Seed(std::uint32_t seed) { state_ = seed; }
    int Next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFF);
    }

  private:
    std::uint32_t state_ = 1;
};

}  // namespace quillery
