#pragma once

// A real main window in the test process, driven by messages: message boxes, file
// choosers and the help opener answered by the test, dialogs driven from inside their
// modal loops.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "settings/ExecutableFolder.h"
#include "settings/Settings.h"
#include "win32/DialogHooks.h"
#include "win32/FileDialogs.h"
#include "win32/MainDlg.h"
#include "win32/MessageBoxes.h"
#include "win32/WindowText.h"

namespace quillery::win32 {

inline std::string ReadBytes(const std::string& path) {
    std::ifstream file(std::filesystem::path(*WidePath(path)), std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream file(std::filesystem::path(*WidePath(path)), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline void RemoveFile(const std::string& path) {
    const std::wstring wide = *WidePath(path);
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(wide.c_str());
}

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RemoveFile(SettingsFile());
        gSettings = Settings{};
        SetMessageBoxHandler([this](const MessageRequest& request) {
            messages.push_back(request);
            if (onMessage) {
                return onMessage(request);
            }
            return (request.type & MB_YESNO) == MB_YESNO ? IDNO : IDOK;
        });
        SetFileDialogHandler([this](FileDialogKind kind) -> std::optional<std::wstring> {
            fileDialogs.push_back(kind);
            return chosenFile;
        });
        SetDialogShownHook([this](HWND dialog, int templateId) {
            if (auto found = onDialog.find(templateId); found != onDialog.end()) {
                found->second(dialog);
            }
        });
        SetUrlOpener([this](const std::wstring& address) {
            opened.push_back(address);
            return openerTakes;
        });
    }

    void TearDown() override {
        window.reset();
        SetMessageBoxHandler({});
        SetFileDialogHandler({});
        SetDialogShownHook({});
        SetUrlOpener({});
        RemoveFile(SettingsFile());
    }

    static std::string Folder() { return ExecutableDirectory().value_or(""); }
    static std::string SettingsFile() { return Folder() + kSettingsFileName; }

    // The window, made after the test has put its settings file in place.
    void Open() {
        window = std::make_unique<MainDlg>();
        ASSERT_NE(window->Create(GetModuleHandleW(nullptr)), nullptr);
        ShowWindow(window->Window(), SW_SHOW);
        Pump();
    }

    // Dispatches what is queued, through the window's own rules, as its loop does.
    void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (window == nullptr || !window->PreTranslateMessage(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }

    // Pumps until `done` holds; false when it still does not after a generous deadline.
    bool PumpUntil(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            Pump();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return true;
    }

    void Command(int id) {
        SendMessageW(window->Window(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
        Pump();
    }

    // A key pressed while `focus` has the keyboard, with the modifiers held meanwhile.
    void Key(HWND focus, WPARAM key, bool ctrl = false, bool shift = false) {
        SetFocus(focus);
        BYTE state[256]{};
        GetKeyboardState(state);
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(state);
        MSG message{
            GetFocus() != nullptr ? GetFocus() : window->Window(), WM_KEYDOWN, key, 1, 0, {}};
        if (!window->PreTranslateMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Pump();
        state[VK_CONTROL] = 0;
        state[VK_SHIFT] = 0;
        SetKeyboardState(state);
    }

    std::u16string StatusBarText() const {
        wchar_t text[512]{};
        SendMessageW(window->StatusBar(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
        return U16(text);
    }

    std::u16string Title() const { return WindowText(window->Window()); }

    UINT MenuState(int id) const {
        return GetMenuState(GetMenu(window->Window()), static_cast<UINT>(id), MF_BYCOMMAND);
    }

    RECT WindowRect() const {
        RECT rect{};
        GetWindowRect(window->Window(), &rect);
        return rect;
    }

    std::unique_ptr<MainDlg> window;
    std::vector<MessageRequest> messages;
    std::function<int(const MessageRequest&)> onMessage;
    std::vector<FileDialogKind> fileDialogs;
    std::optional<std::wstring> chosenFile;
    std::map<int, std::function<void(HWND)>> onDialog;
    std::vector<std::wstring> opened;
    bool openerTakes = true;  // false: a system with nothing to open a web page
};

// Presses a dialog's button once its modal loop runs.
inline void Press(HWND dialog, int button) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

}  // namespace quillery::win32
