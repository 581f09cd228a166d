#include "win32/DialogLayout.h"

#include <algorithm>
#include <string>
#include <vector>

namespace quillery::win32 {
namespace {

BOOL CALLBACK AddChild(HWND child, LPARAM children) {
    reinterpret_cast<std::vector<HWND>*>(children)->push_back(child);
    return TRUE;
}

RECT RectIn(HWND dialog, HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

enum class Kind { kOther, kLabel, kCheckBox };

Kind KindOf(HWND child) {
    wchar_t className[16]{};
    GetClassNameW(child, className, 16);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
    if (lstrcmpiW(className, L"Static") == 0 && (style & SS_TYPEMASK) == SS_LEFT &&
        (style & SS_SUNKEN) == 0) {
        return Kind::kLabel;
    }
    if (lstrcmpiW(className, L"Button") == 0 && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
        return Kind::kCheckBox;
    }
    return Kind::kOther;
}

}  // namespace

void WidenLabelsToFit(HWND dialog) {
    std::vector<HWND> children;
    EnumChildWindows(dialog, AddChild, reinterpret_cast<LPARAM>(&children));
    RECT client{};
    GetClientRect(dialog, &client);
    RECT margin{7, 0, 0, 0};
    MapDialogRect(dialog, &margin);
    HDC dc = GetDC(dialog);
    HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    for (HWND child : children) {
        const Kind kind = KindOf(child);
        if (kind == Kind::kOther) {
            continue;
        }
        const int length = GetWindowTextLengthW(child);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        GetWindowTextW(child, text.data(), length + 1);
        text.resize(static_cast<std::size_t>(length));
        std::erase(text, L'&');  // a mnemonic's marker takes no room
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        int needed = static_cast<int>(size.cx) + 2;
        if (kind == Kind::kCheckBox) {
            needed += GetSystemMetrics(SM_CXMENUCHECK) + GetSystemMetrics(SM_CXEDGE) * 2;
        }
        const RECT rect = RectIn(dialog, child);
        if (needed <= rect.right - rect.left) {
            continue;
        }
        LONG limit = client.right - margin.left;
        for (HWND other : children) {
            const RECT o = RectIn(dialog, other);
            if (other != child && o.left >= rect.right - 1 && o.top < rect.bottom &&
                o.bottom > rect.top) {
                limit = std::min(limit, o.left - 2);
            }
        }
        const int width = std::max(static_cast<int>(rect.right - rect.left),
                                   std::min(needed, static_cast<int>(limit - rect.left)));
        SetWindowPos(child, nullptr, 0, 0, width, rect.bottom - rect.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (kind == Kind::kLabel && width < needed) {
            SetWindowLongPtrW(
                child, GWL_STYLE,
                (GetWindowLongPtrW(child, GWL_STYLE) & ~SS_TYPEMASK) | SS_LEFTNOWORDWRAP);
        }
    }
    SelectObject(dc, oldFont);
    ReleaseDC(dialog, dc);
}

}  // namespace quillery::win32
