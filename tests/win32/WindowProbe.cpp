// window_probe: tells what Windows (Wine) knows of the running main window, for the checks
// that drive it from outside. It reads one question a line from standard input and
// answers each with one line, so that a check starts it once:
//   rect      "left top width height" as GetWindowRect reports them
//   text ID   the text of control ID (1003, 1004, or 59393 the status bar) in UTF-8, with
//             CR, LF, tab and backslash written as backslash-r, -n, -t and two backslashes
// The window is the visible top-level one whose title starts with "Quillery - "; the
// answer is "-" when there is no such window or control.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <iostream>
#include <string>

namespace {

BOOL CALLBACK Find(HWND window, LPARAM found) {
    wchar_t title[256]{};
    GetWindowTextW(window, title, 256);
    if (IsWindowVisible(window) && std::wcsncmp(title, L"Quillery - ", 11) == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

std::string Escaped(const std::wstring& text) {
    std::string utf8(text.size() * 3 + 1, '\0');
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(),
                            static_cast<int>(utf8.size()), nullptr, nullptr);
    utf8.resize(static_cast<std::size_t>(bytes > 0 ? bytes : 0));
    std::string escaped;
    for (const char c : utf8) {
        switch (c) {
            case '\r':
                escaped += "\\r";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\t':
                escaped += "\\t";
                break;
            case '\\':
                escaped += "\\\\";
                break;
            default:
                escaped.push_back(c);
        }
    }
    return escaped;
}

std::string Answer(const std::string& question) {
    HWND window = nullptr;
    EnumWindows(Find, reinterpret_cast<LPARAM>(&window));
    if (window == nullptr) {
        return "-";
    }
    if (question == "rect") {
        RECT rect{};
        if (!GetWindowRect(window, &rect)) {
            return "-";
        }
        return std::to_string(rect.left) + ' ' + std::to_string(rect.top) + ' ' +
               std::to_string(rect.right - rect.left) + ' ' +
               std::to_string(rect.bottom - rect.top);
    }
    if (question.starts_with("text ")) {
        HWND control = GetDlgItem(window, std::stoi(question.substr(5)));
        if (control == nullptr) {
            return "-";
        }
        // WM_GETTEXT carries its text across processes.
        const auto length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        text.resize(std::wcslen(text.c_str()));
        return Escaped(text);
    }
    return "-";
}

}  // namespace

int main() {
    std::string question;
    while (std::getline(std::cin, question)) {
        if (!question.empty() && question.back() == '\r') {
            question.pop_back();
        }
        std::printf("%s\n", Answer(question).c_str());
        std::fflush(stdout);
    }
    return 0;
}
