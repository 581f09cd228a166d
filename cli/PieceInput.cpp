#include "cli/PieceInput.h"

#include <cstring>
#include <memory>
#include <utility>

namespace quillery {

namespace {

// Code page 932 input is read a piece at a time into one buffer and converted a run of
// whole lines at a time: a large file costs neither a copy of itself in memory nor the
// page faults of one, and the piece at hand stays in the cache.
class PieceReader {
  public:
    explicit PieceReader(std::FILE* in) : in_(in), data_(new char[kFirstPieceBytes]) {}

    // Reads more, after the `kept` bytes at the end of what was read before, which move to
    // the buffer's start. Returns false on a read error.
    bool Next(std::size_t kept) {
        std::memmove(data_.get(), data_.get() + size_ - kept, kept);
        size_ = kept;
        // A piece is mostly new bytes: a long line that fills half the buffer doubles it,
        // so that it is never walked again and again for a few bytes more.
        if (kept > capacity_ / 2) {
            std::unique_ptr<char[]> data(new char[capacity_ * 2]);
            std::memcpy(data.get(), data_.get(), kept);
            data_ = std::move(data);
            capacity_ *= 2;
        }
        const std::size_t n = std::fread(data_.get() + size_, 1, capacity_ - size_, in_);
        size_ += n;
        ended_ = n < capacity_ - kept;
        return !std::ferror(in_);
    }

    std::string_view View() const { return {data_.get(), size_}; }
    // Whether the text ends with the bytes read.
    bool Ended() const { return ended_; }

  private:
    std::FILE* in_;
    std::unique_ptr<char[]> data_;
    std::size_t capacity_ = kFirstPieceBytes;
    std::size_t size_ = 0;
    bool ended_ = false;
};

}  // namespace

std::optional<ConversionStats> ConvertInPieces(std::FILE* in, const KeywordList& keywords,
                                               const ConversionOptions& options,
                                               RandomSource& random,
                                               std::function<void(std::string_view)> write,
                                               const std::function<void()>& firstRead) {
    PieceReader reader(in);
    if (!reader.Next(0)) {
        return std::nullopt;
    }
    firstRead();
    PieceConversion conversion(keywords, options, random, std::move(write));
    for (;;) {
        const std::size_t used = conversion.Convert(reader.View(), reader.Ended());
        if (reader.Ended()) {
            return conversion.Finish();
        }
        if (!reader.Next(reader.View().size() - used)) {
            // What is converted stays converted: the whole lines before the error go out.
            conversion.Finish();
            return std::nullopt;
        }
    }
}

}  // namespace quillery
