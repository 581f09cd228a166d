#pragma once

// What the two conversion walks share, the one over UTF-16 text and the one over code page
// 932 bytes: the output buffer, the keywords laid out for block copies, and the branchless
// steps of an insertion. Internal to the engine.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "Conversion.h"
#include "Cp932Text.h"
#include "FastRemainder.h"
#include "KeywordList.h"
#include "RandomSource.h"

namespace quillery::detail {

// Characters in a run of UTF-16 units: a surrogate pair counts once.
inline std::int32_t CountChars(std::u16string_view run) {
    std::size_t pairs = 0;
    for (std::size_t i = 1; i < run.size(); ++i) {
        if (IsLowSurrogate(run[i]) && IsHighSurrogate(run[i - 1])) {
            ++pairs;
            ++i;
        }
    }
    return static_cast<std::int32_t>(run.size() - pairs);
}

// Short runs are copied as whole blocks of this many bytes, which is cheaper than a copy
// of the exact length; the blocks may reach past the run into slack set aside for them.
constexpr std::size_t kBlockBytes = 16;

template <typename Char>
constexpr std::size_t kBlock = kBlockBytes / sizeof(Char);

template <typename Char>
void CopyBlock(Char* to, const Char* from) {
    std::memcpy(to, from, kBlockBytes);
}

// The output of a conversion: a string used as a buffer that is written through a raw
// pointer and grows by doubling, so that neither a short append nor zero-filling costs
// anything per line. `size` is what has been written; the string is cut to it by Finish.
template <typename Char>
class OutputBuffer {
  public:
    explicit OutputBuffer(std::basic_string<Char>& text) : text_(text), size_(text.size()) {}

    // Where the next `room` units (and the block slack after them) may be written.
    Char* Room(std::size_t room) {
        const std::size_t needed = size_ + room + kBlock<Char>;
        if (text_.size() < needed) {
            // Doubling, but within the capacity reserved while it lasts.
            std::size_t grown = std::max(needed, 2 * text_.size());
            if (needed <= text_.capacity()) {
                grown = std::min(grown, text_.capacity());
            }
            text_.resize(grown);
        }
        return text_.data() + size_;
    }
    // `end` is where writing stopped, within the room asked for last.
    void Commit(const Char* end) { size_ = static_cast<std::size_t>(end - text_.data()); }

    std::size_t Size() const { return size_; }
    // Forgets what was written after the first `size` units.
    void CutTo(std::size_t size) { size_ = size; }
    std::basic_string_view<Char> View() const { return {text_.data(), size_}; }
    void Clear() { size_ = 0; }
    void Finish() { text_.resize(size_); }

  private:
    std::basic_string<Char>& text_;
    std::size_t size_;
};

// The keywords of one conversion in the output's form, each padded with zeros to whole
// blocks (at least one), with its length in characters.
template <typename Char>
class KeywordPool {
  public:
    struct Entry {
        const Char* units;
        std::size_t size;
        std::int32_t chars;
    };

    // `form` gives a keyword's units in the output's form.
    template <typename Form>
    KeywordPool(const KeywordList& keywords, Form form) : entries_(keywords.size()) {
        std::vector<std::basic_string<Char>> formed;
        formed.reserve(keywords.size());
        std::size_t units = 0;
        for (std::size_t k = 0; k < keywords.size(); ++k) {
            formed.push_back(form(keywords[k]));
            units += PaddedSize(formed.back().size());
        }
        units_.assign(units, Char{});
        std::size_t offset = 0;
        for (std::size_t k = 0; k < keywords.size(); ++k) {
            const std::basic_string<Char>& keyword = formed[k];
            std::copy(keyword.begin(), keyword.end(), units_.begin() + offset);
            entries_[k] = {units_.data() + offset, keyword.size(), CountChars(keywords[k])};
            offset += PaddedSize(keyword.size());
            maxSize_ = std::max(maxSize_, keyword.size());
        }
    }
    KeywordPool(const KeywordPool&) = delete;
    KeywordPool& operator=(const KeywordPool&) = delete;

    // Picks the entry for a random value (0..32767): value mod size, by FastRemainder. A
    // longer list is taken as its first 32768 entries, which gives the same remainders.
    // Held in locals by the caller.
    struct Picker {
        const Entry* entries;
        FastRemainder remainder;

        const Entry& operator()(std::uint32_t value) const { return entries[remainder(value)]; }
    };
    Picker MakePicker() const {
        return {entries_.data(), FastRemainder(static_cast<std::uint32_t>(
                                     std::min<std::size_t>(entries_.size(), 32768)))};
    }
    std::size_t MaxSize() const { return maxSize_; }

  private:
    static std::size_t PaddedSize(std::size_t size) {
        return std::max<std::size_t>(1, (size + kBlock<Char> - 1) / kBlock<Char>) * kBlock<Char>;
    }

    std::vector<Char> units_;
    std::vector<Entry> entries_;
    std::size_t maxSize_ = 0;
};

// `yes` when `condition`, else `no`, without a branch. RandomSource is its state alone.
inline RandomSource Select(bool condition, RandomSource yes, RandomSource no) {
    static_assert(sizeof(RandomSource) == sizeof(std::uint32_t));
    const std::uint32_t mask = 0u - static_cast<std::uint32_t>(condition);
    return std::bit_cast<RandomSource>((std::bit_cast<std::uint32_t>(yes) & mask) |
                                       (std::bit_cast<std::uint32_t>(no) & ~mask));
}

// counter += amount modulo 2^32, as a 32-bit counter of the original would.
inline void AddWrapping(std::int32_t& counter, std::uint32_t amount) {
    counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(counter) + amount);
}

// Writes the insertion point in front of a phrase at `dst`: the markers when asked, and a
// keyword when the draw says so. The pick is made every time, but takes its value and
// moves the sequence on only when the draw says so: the outcome is unpredictable by
// design, so it is applied with masks, not branches. Returns where writing stopped.
template <typename Char>
[[gnu::always_inline]] inline Char* PutInsertion(Char* dst, bool mark, std::int32_t ratio,
                                                 const typename KeywordPool<Char>::Picker& pick,
                                                 RandomSource& random, std::uint32_t& inserted,
                                                 std::uint32_t& keywordChars) {
    if (mark) {
        *dst++ = Char('<');
    }
    const bool drawn = DrawInsertion(random, ratio);
    RandomSource picked = random;
    const auto& keyword = pick(static_cast<std::uint32_t>(picked.Next()));
    random = Select(drawn, picked, random);
    const std::size_t size = keyword.size & (std::size_t{0} - drawn);
    CopyBlock(dst, keyword.units);
    for (std::size_t k = kBlock<Char>; k < size; k += kBlock<Char>) {
        CopyBlock(dst + k, keyword.units + k);
    }
    dst += size;
    inserted += static_cast<std::uint32_t>(drawn);
    keywordChars += static_cast<std::uint32_t>(keyword.chars) & (0u - drawn);
    if (mark) {
        *dst++ = Char('>');
    }
    return dst;
}

// Copies `from[0, run)` to `dst`: as one block when the run fits one and a whole block may
// be read from `from` (at least `readable` units are).
template <typename Char>
[[gnu::always_inline]] inline Char* PutRun(Char* dst, const Char* from, std::size_t run,
                                           std::size_t readable) {
    if (run <= kBlock<Char> && readable >= kBlock<Char>) {
        CopyBlock(dst, from);
    } else {
        std::memcpy(dst, from, run * sizeof(Char));
    }
    return dst + run;
}

// The rest of a line after its last insertion point, `from[0, run)`, and the line break
// after it unless it is the last line. Returns where writing stopped.
template <typename Char>
Char* PutLineEnd(Char* dst, const Char* from, std::size_t run, bool isLastLine) {
    if (run > 0) {
        std::memcpy(dst, from, run * sizeof(Char));
        dst += run;
    }
    if (!isLastLine) {
        *dst++ = Char('\r');
        *dst++ = Char('\n');
    }
    return dst;
}

// Adds a converted line to the counters: `chars` are the line's own characters; its line
// break counts as one.
inline void AddLineCounts(ConversionStats& stats, std::uint32_t chars, std::uint32_t phrases,
                          std::uint32_t inserted, std::uint32_t keywordChars, bool mark,
                          bool isLastLine) {
    AddWrapping(stats.phraseCount, phrases);
    AddWrapping(stats.insertedCount, inserted);
    AddWrapping(stats.outputCharCount,
                chars + keywordChars + (mark ? 2 * phrases : 0) + (isLastLine ? 0 : 1));
}

}  // namespace quillery::detail
