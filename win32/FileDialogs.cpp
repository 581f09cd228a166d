#include "win32/FileDialogs.h"

#include <commdlg.h>

#include <string_view>

namespace quillery::win32 {
namespace {

FileDialogHandler& Handler() {
    static FileDialogHandler handler;
    return handler;
}

// A filter as the common dialogs take it: pairs of NUL-ended strings, then one more NUL.
std::wstring Filter(std::wstring_view typed, std::wstring_view pattern) {
    std::wstring filter;
    for (const std::wstring_view part :
         {typed, pattern, std::wstring_view(L"All files(*.*)"), std::wstring_view(L"*.*")}) {
        filter.append(part);
        filter.push_back(L'\0');
    }
    filter.push_back(L'\0');
    return filter;
}

}  // namespace

std::optional<std::wstring> ChooseFile(HWND owner, FileDialogKind kind) {
    if (Handler()) {
        return Handler()(kind);
    }
    const bool save = kind == FileDialogKind::kSaveText;
    const std::wstring filter =
        save ? Filter(L"Text Data(*.txt)", L"*.txt") : Filter(L"Dictionary Data(*.dat)", L"*.dat");
    // Long enough for any path the wide file functions take.
    std::wstring path(32768, L'\0');
    OPENFILENAMEW request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = owner;
    request.lpstrFilter = filter.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = path.data();
    request.nMaxFile = static_cast<DWORD>(path.size());
    request.lpstrDefExt = save ? L"txt" : L"dat";
    request.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR |
                    (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameW(&request) : GetOpenFileNameW(&request);
    if (!chosen) {
        return std::nullopt;
    }
    path.resize(path.find(L'\0'));
    return path;
}

void SetFileDialogHandler(FileDialogHandler handler) {
    Handler() = std::move(handler);
}

}  // namespace quillery::win32
