#pragma once
// Fault-injection seams of the file writer, for tests only: the program never calls them.

namespace quillery {

// The steps of ReplaceWritableFileAtomically that a test may stop the process at (a fault-injection
// seam: the tests end the process there to stand for a kill).
enum class WriteStep {
    kTemporaryOpened,  // the temporary file exists, empty
    kHalfWritten,      // half the bytes are in it
    kSynced,           // all written and on the disk
    kNamed,            // it has its temporary name, not yet renamed
    kReplaced,         // it has taken the file's place
};
namespace file_io_testing {
using WriteStepHook = void (*)(WriteStep);
void SetWriteStepHook(WriteStepHook hook);
// Makes every write take the named temporary file, as on a file system without unnamed
// ones.
void SetUnnamedTemporaryFiles(bool allowed);
// Makes unnamed temporary files impossible to name, as where /proc is not mounted and the
// process lacks the privilege to link a descriptor: the write falls back to a named one.
void SetUnnamedFilesUnlinkable(bool unlinkable);
}  // namespace file_io_testing

}  // namespace quillery
