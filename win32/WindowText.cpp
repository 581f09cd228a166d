#include "win32/WindowText.h"

#include "engine/Utf8.h"

namespace quillery::win32 {

std::u16string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return U16(text);
}

void SetWindowTextU16(HWND window, std::u16string_view text) {
    SetWindowTextW(window, Wide(text).c_str());
}

std::optional<std::wstring> WidePath(std::string_view utf8) {
    return Utf8ToWide(utf8);
}

std::optional<std::string> Utf8Path(std::wstring_view wide) {
    return WideToUtf8(wide);
}

std::vector<std::u16string> TakeDroppedPaths(HDROP drop) {
    std::vector<std::u16string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(length);
        paths.push_back(U16(path));
    }
    DragFinish(drop);
    return paths;
}

std::u16string ApplicationName() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return u"QuilleryMini";
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos && dot > 0) {
        name.resize(dot);
    }
    return U16(name);
}

}  // namespace quillery::win32
