#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillery {

// The longest value a read gives back: a 512-byte buffer less its terminator.
inline constexpr std::size_t kProfileValueMaxBytes = 511;

// A profile (INI) file held as its lines, so that several reads and writes work on one
// reading of the file and everything the program does not touch is written back byte
// for byte.
//
// The text is code page 932 and is scanned character by character: the second byte of a
// double-byte character is never taken for "=", "]" or ";". CR LF, LF and CR alone each
// end a line; the last line may have no line break. A line is
//  - a section header: optional blanks, "[", the name, the last "]" of the line (anything
//    after it is ignored), so "[Debug]x]" names the section "Debug]x";
//  - a comment: optional blanks, then ";";
//  - an entry: a line with an "=" that is neither of the above; the key is the text
//    before the first "=", the value the text after it;
//  - anything else, which is kept and otherwise ignored.
// Section names and keys are matched without regard to ASCII case and without their
// surrounding blanks (spaces and tabs). Entries before the first section belong to none.
// Of duplicate sections or keys the first one is read and written. A UTF-8 byte-order
// mark at the start (editors write one) is passed over when reading and kept. Lines this
// class adds end with the file's first line break (CR LF when it has none); every other
// line keeps its bytes and its line break.
class ProfileDocument {
  public:
    ProfileDocument() = default;
    static ProfileDocument Parse(std::string_view bytes);

    // The value without its surrounding blanks and then without one pair of double
    // quotes around the whole of it (single quotes, and a quote at one end only, stay),
    // cut (between characters) to at most kProfileValueMaxBytes bytes and at a NUL byte;
    // nothing when the section or the key is missing.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

    // Find, or the default text (cut the same way) when there is nothing to find.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultText) const;

    // Sets the key's first entry in the first such section: only the value's text is
    // replaced (the key's own spelling, the blanks around "=" and the line break stay),
    // and not even that when the entry already reads as `value`. A missing entry is added
    // after the section's last entry (right after its header when it has none); a missing
    // section is added with the entry at the end. A value that a read would give back
    // otherwise (blanks at either end, or a quote at both) is written inside a pair of
    // double quotes. Refuses (false, nothing changed) a section, key or value that could
    // not be read back as written: a CR, LF or NUL anywhere, an empty key, an "=" in the
    // key, a key taken for a comment or a header, or a value longer than
    // kProfileValueMaxBytes.
    bool SetString(std::string_view section, std::string_view key, std::string_view value);

    std::string Serialize() const;

    bool operator==(const ProfileDocument&) const = default;

  private:
    // Where the first line starts: past a byte-order mark.
    std::size_t TextStart() const;
    // Where the first header of `section` ends (the start of the line after it), or npos.
    std::size_t FindSectionEnd(std::string_view section) const;
    // Gives the last line a line break when it has none, so that a line can follow it.
    void EndLastLine();

    // The file's bytes themselves: a file of millions of short lines costs no more memory
    // than its size, and whatever is not rewritten stays as it was.
    std::string bytes_;
};

// A missing file gives an empty document, as does one that cannot be read.
ProfileDocument ReadProfileFile(const std::string& path);

// For a file about to be rewritten: a missing file gives an empty document, a file that
// exists but cannot be read nothing (it must not be replaced by a document without its
// contents).
std::optional<ProfileDocument> ReadProfileFileForUpdate(const std::string& path);

}  // namespace quillery
