#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace quillery::win32 {

// The two file choosers the window opens: a dictionary to read (the file must exist), a
// text file to save (overwriting asks first).
enum class FileDialogKind { kOpenDictionary, kSaveText };

// The chosen path, or nothing when the user cancelled.
using FileDialogHandler = std::function<std::optional<std::wstring>(FileDialogKind)>;

std::optional<std::wstring> ChooseFile(HWND owner, FileDialogKind kind);

// Replaces the real choosers (for tests); an empty handler restores them.
void SetFileDialogHandler(FileDialogHandler handler);

}  // namespace quillery::win32
