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

void OpenAddress(HWND owner, const std::wstring& address) {
    if (Opener()) {
        Opener()(address);
        return;
    }
    ShellExecuteW(owner, L"open", address.c_str(), nullptr, nullptr, SW_SHOW);
}

void SetUrlOpener(UrlOpener opener) {
    Opener() = std::move(opener);
}

}  // namespace quillery::win32
