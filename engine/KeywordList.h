#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace quillery {

// The dictionary keywords of one run, in file order.
class KeywordList {
  public:
    static constexpr std::size_t kMaxKeywords = 1000;
    static constexpr std::size_t kMaxKeywordChars = 132;

    std::size_t size() const { return keywords_.size(); }
    bool empty() const { return keywords_.empty(); }
    const std::u16string& operator[](std::size_t k) const { return keywords_[k]; }

    void Append(std::u16string keyword) { keywords_.push_back(std::move(keyword)); }

  private:
    std::vector<std::u16string> keywords_;
};

// Reads up to 1000 keywords from an opened dictionary file, starting at its current
// position; the caller opens and closes the file. The file is read as a text file in
// code page 932 whatever mode it was opened in: CR LF is one line feed, a lone CR an
// ordinary character, a Ctrl+Z byte ends the file. Each keyword is one line, or a piece
// of at most 132 characters of a longer one; a NUL ends its keyword. Bytes that are not
// code page 932 are kept as escaped bytes (see Cp932Codec), but for a lead byte without
// its second byte at the end of a keyword, which becomes "?". A read error counts as the
// end of the file.
KeywordList ReadKeywords(std::FILE* file);

// ReadKeywords for a UTF-8 file: the same lines, pieces, NUL and Ctrl+Z; a byte-order
// mark at the start is skipped. Characters count in UTF-16 units, and a piece ends one unit
// early rather than cut a character outside the basic plane in two. Nothing when the part
// of the file read is not valid UTF-8 (such a file is most likely in code page 932).
std::optional<KeywordList> ReadUtf8Keywords(std::FILE* file);

// Opens a dictionary file (a path in the file system's encoding) for ReadKeywords.
// A folder or anything else that is not a regular file does not open.
std::FILE* OpenDictionaryFile(const std::string& path);

}  // namespace quillery
