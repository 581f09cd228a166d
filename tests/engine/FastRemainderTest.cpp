// The multiplication remainder against the division, for every divisor a keyword list
// gives (1..32768) and every value the random source gives (0..32767).

#include <gtest/gtest.h>

#include <cstdint>

#include "engine/FastRemainder.h"

namespace quillery {
namespace {

TEST(FastRemainder, EqualsThePlainRemainderForEveryDivisorAndValue) {
    for (std::uint32_t divisor = 1; divisor <= 32768; ++divisor) {
        const FastRemainder remainder(divisor);
        for (std::uint32_t value = 0; value <= 32767; ++value) {
            if (remainder(value) != PlainRemainder(value, divisor)) [[unlikely]] {
                FAIL() << value << " mod " << divisor << ": " << remainder(value);
            }
        }
    }
}

}  // namespace
}  // namespace quillery
