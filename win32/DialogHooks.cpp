#include "win32/DialogHooks.h"

#include <shellapi.h>

namespace quillery::win32 {
namespace {

DialogShownHook& ShownHook() {
    static DialogShownHook hook;
    return hook;
}

UrlOpener& Opener() {
    static UrlOpener opener;
    return opener;
}

}  // namespace

void SetDialogShownHook(DialogShownHook hook) {
    ShownHook() = std::move(hook);
}

void NotifyDialogShown(HWND dialog, int templateId) {
    if (ShownHook()) {
        ShownHook()(dialog, templateId);
    }
}

bool OpenAddress(HWND owner, const std::wstring& address) {
    if (Opener()) {
        return Opener()(address);
    }
    // ShellExecute answers a value above 32 when something took the address.
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, L"open", address.c_str(), nullptr, nullptr, SW_SHOW));
    return result > 32;
}

void SetUrlOpener(UrlOpener opener) {
    Opener() = std::move(opener);
}

}  // namespace quillery::win32
