// The main window: what it shows from the settings, its commands, keys, runs and the
// close question, driven by messages.
#include "engine/ConversionRun.h"
#include "engine/Cp932Codec.h"
#include "settings/FileNames.h"
#include "tests/win32/WindowTestSupport.h"

#include <commctrl.h>

#include "win32/ResourceIds.h"
#include "windowlogic/MenuModel.h"
#include "windowlogic/PaneLayout.h"
#include "windowlogic/Texts.h"

namespace quillery::win32 {
namespace {

std::u16string MenuLabel(HMENU menu, UINT position) {
    wchar_t label[128]{};
    GetMenuStringW(menu, position, label, 128, MF_BYPOSITION);
    return U16(label);
}

// The resource's menu against the shared model: kinds, labels and identifiers in order.
void ExpectMenuMatches(HMENU menu, const std::vector<MenuEntry>& entries) {
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(entries.size()));
    for (UINT i = 0; i < entries.size(); ++i) {
        const MenuEntry& entry = entries[i];
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
        ASSERT_TRUE(GetMenuItemInfoW(menu, i, TRUE, &info));
        SCOPED_TRACE(std::string(entry.label.begin(), entry.label.end()));
        switch (entry.kind) {
            case MenuEntry::Kind::Separator:
                EXPECT_TRUE(info.fType & MFT_SEPARATOR);
                break;
            case MenuEntry::Kind::Popup:
                ASSERT_NE(info.hSubMenu, nullptr);
                EXPECT_EQ(MenuLabel(menu, i), entry.label);
                ExpectMenuMatches(info.hSubMenu, entry.children);
                break;
            case MenuEntry::Kind::Item:
                EXPECT_EQ(info.wID, static_cast<UINT>(entry.id));
                EXPECT_EQ(MenuLabel(menu, i), entry.label);
                break;
        }
    }
}

TEST_F(WindowTest, OpensWithTheSettingsShownInMenusTitleAndPanes) {
    Open();
    EXPECT_EQ(Title(), u"Quillery - 40% ");  // no dictionary beside the tests
    EXPECT_EQ(WindowText(window->OutputPane()), texts::kOutputPlaceholder);
    EXPECT_EQ(StatusBarText(), u"");
    EXPECT_TRUE(MenuState(1010) & MF_CHECKED);
    EXPECT_FALSE(MenuState(1011) & MF_CHECKED);
    EXPECT_TRUE(MenuState(1047) & MF_CHECKED);
    EXPECT_FALSE(MenuState(1050) & MF_CHECKED);
    EXPECT_EQ(GetFocus(), window->InputPane());

    HMENU resource = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAIN_MENU));
    ExpectMenuMatches(resource, MainMenuTree());
    DestroyMenu(resource);
}

TEST_F(WindowTest, MenuCommandsChangeTheSettingsAndWhatShowsThem) {
    WriteBytes(SettingsFile(), "[Window]\r\nEditReadOnly=2\r\n");
    Open();
    // Any non-zero value makes the pane read-only; only 1 checks the item.
    EXPECT_TRUE(GetWindowLongPtrW(window->OutputPane(), GWL_STYLE) & ES_READONLY);
    EXPECT_FALSE(MenuState(1051) & MF_CHECKED);
    Command(1051);
    EXPECT_EQ(gSettings.editReadOnly, 1);
    EXPECT_TRUE(MenuState(1051) & MF_CHECKED);
    Command(1051);
    EXPECT_FALSE(GetWindowLongPtrW(window->OutputPane(), GWL_STYLE) & ES_READONLY);

    Command(1013);
    EXPECT_EQ(Title(), u"Quillery - 70% ");
    EXPECT_TRUE(MenuState(1013) & MF_CHECKED);
    EXPECT_FALSE(MenuState(1010) & MF_CHECKED);

    for (const auto& [id, ratio] : {std::pair{1049, 5}, std::pair{32773, 2}}) {
        Command(id);
        RECT client{}, status{}, input{}, output{};
        GetClientRect(window->Window(), &client);
        GetClientRect(window->StatusBar(), &status);
        GetWindowRect(window->InputPane(), &input);
        GetWindowRect(window->OutputPane(), &output);
        const PaneSplit split = SplitPaneHeights(client.bottom - status.bottom, ratio);
        EXPECT_EQ(input.bottom - input.top, split.inputHeight) << ratio;
        EXPECT_EQ(output.bottom - output.top, split.outputHeight) << ratio;
        EXPECT_EQ(output.top, input.bottom) << ratio;
    }

    // White on black for the writable pane only while the item is checked; otherwise
    // the system's edit colours.
    HDC dc = GetDC(window->InputPane());
    const auto background = [&] {
        SetBkColor(dc, RGB(1, 2, 3));
        SendMessageW(window->Window(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(window->InputPane()));
        return GetBkColor(dc);
    };
    EXPECT_EQ(background(), GetSysColor(COLOR_WINDOW));
    Command(1050);
    EXPECT_EQ(background(), RGB(0, 0, 0));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 255));
    Command(1050);
    EXPECT_EQ(background(), GetSysColor(COLOR_WINDOW));
    ReleaseDC(window->InputPane(), dc);
}

TEST_F(WindowTest, KeysActAsInADocumentWindow) {
    Open();
    HWND input = window->InputPane();
    HWND output = window->OutputPane();
    SetWindowTextW(input, L"ab");
    SendMessageW(input, EM_SETSEL, 2, 2);

    // Esc does nothing: no question, no close, no change.
    Key(input, VK_ESCAPE);
    Key(output, VK_ESCAPE);
    EXPECT_FALSE(window->Ended());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(WindowText(input), u"ab");

    Key(input, VK_RETURN);
    EXPECT_EQ(WindowText(input), u"ab\r\n");
    Key(input, VK_RETURN, false, true);  // Shift+Enter: one line break too
    EXPECT_EQ(WindowText(input), u"ab\r\n\r\n");
    SetWindowTextW(input, L"ab\r\n");
    SendMessageW(input, EM_SETSEL, 4, 4);

    DWORD start = 1, end = 1;
    Key(input, 'A', true);
    SendMessageW(input, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 4u);
    Key(output, 'A', true, true);
    SendMessageW(output, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthW(output)));

    Key(input, VK_TAB);
    EXPECT_EQ(GetFocus(), output);
    Key(output, VK_TAB, false, true);
    EXPECT_EQ(GetFocus(), input);
    SendMessageW(input, EM_SETSEL, 0, 0);
    Key(input, VK_TAB, true);
    EXPECT_EQ(WindowText(input), u"\tab\r\n");
    EXPECT_EQ(GetFocus(), input);

    // Enter with no pane focused (both disabled, as during a run) neither closes the
    // window nor reaches a pane.
    EnableWindow(input, FALSE);
    EnableWindow(output, FALSE);
    Key(window->Window(), VK_RETURN);
    EXPECT_FALSE(window->Ended());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(WindowText(input), u"\tab\r\n");
}

class RunTest : public WindowTest {
  protected:
    void UseDictionary(std::string_view keywords) {
        const std::string path = Folder() + "run-test.dat";
        WriteBytes(path, keywords);
        ASSERT_TRUE(gSettings.dictionaryPath.Assign(*FileSystemNameToCp932(path)));
    }
    bool RunEnded() {
        return PumpUntil([this] { return !window->RunActive(); });
    }
};

TEST_F(RunTest, DebugRunWithAFixedSeedGivesTheConvertersBytesAndStatistics) {
    Open();
    UseDictionary("X");
    Command(1011);  // 50 %
    SetWindowTextW(window->InputPane(), L"私は東京に行きました。");
    onDialog[IDD_DEBUG_CONVERT] = [](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_SEED, L"1");
        CheckDlgButton(dialog, IDC_FIXED_SEED, BST_CHECKED);
        Press(dialog, IDOK);
    };
    Command(1024);
    ASSERT_TRUE(RunEnded());
    EXPECT_EQ(WindowText(window->OutputPane()), u"X私はX東京に行きました。");
    EXPECT_EQ(
        StatusBarText(),
        u"変換終了： [挿入文節2 / 総文節3 = 挿入率66.7%] [解析行1] [辞書の単語1個] [出力13文字]");
    EXPECT_EQ(gSettings.debugRun, 1);
    EXPECT_EQ(gSettings.randomSeed, 1u);
    // The run has left the busy state.
    EXPECT_TRUE(IsWindowEnabled(window->InputPane()));
    EXPECT_FALSE(MenuState(1002) & MF_GRAYED);
    EXPECT_TRUE(messages.empty());

    // A normal run afterwards records its clock seed and greys nothing for good.
    Command(1002);
    ASSERT_TRUE(RunEnded());
    EXPECT_EQ(gSettings.debugRun, 0);
    EXPECT_NE(gSettings.newestRandomSeed, 0);
    EXPECT_FALSE(MenuState(1005) & MF_GRAYED);
}

TEST_F(RunTest, RefusedRunsSayWhyAndLeaveTheWindowAsItWas) {
    Open();
    Command(1002);
    ASSERT_TRUE(RunEnded());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, kNoDictionaryMessage);
    EXPECT_EQ(WindowText(window->OutputPane()), texts::kOutputPlaceholder);
    EXPECT_EQ(StatusBarText(), u"");

    UseDictionary("");
    Command(1002);
    ASSERT_TRUE(RunEnded());
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, kEmptyDictionaryMessage);
    EXPECT_TRUE(IsWindowEnabled(window->OutputPane()));
    EXPECT_EQ(WindowText(window->OutputPane()), texts::kOutputPlaceholder);
}

TEST_F(WindowTest, CloseQuestionKeepsEverythingOnNoAndSavesTheRectangleOnYes) {
    Open();
    SetWindowPos(window->Window(), nullptr, 130, 140, 600, 450, SWP_NOZORDER);
    Pump();
    SendMessageW(window->Window(), WM_CLOSE, 0, 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, texts::kExitQuestion);
    EXPECT_EQ(messages[0].type & (MB_YESNO | MB_ICONQUESTION), UINT{MB_YESNO | MB_ICONQUESTION});
    EXPECT_FALSE(window->Ended());
    EXPECT_EQ(GetFileAttributesW(WidePath(SettingsFile())->c_str()), INVALID_FILE_ATTRIBUTES);

    Command(1014);
    const RECT rect = WindowRect();
    onMessage = [](const MessageRequest&) { return IDYES; };
    Command(1005);  // Exit saves just as the close box does
    ASSERT_TRUE(window->Ended());
    EXPECT_FALSE(IsWindow(window->Window()));
    Settings saved;
    LoadSettingsFrom(DefaultSettingsPlaces(), saved);
    EXPECT_EQ(saved.insertRatio, 8);
    EXPECT_EQ(saved.windowX, rect.left);
    EXPECT_EQ(saved.windowY, rect.top);
    EXPECT_EQ(saved.windowWidth, rect.right - rect.left);
    EXPECT_EQ(saved.windowHeight, rect.bottom - rect.top);
}

TEST_F(WindowTest, ABoxThatCouldNotBeShownEndsTheWindowAndAMaximisedOneKeepsItsKeys) {
    WriteBytes(SettingsFile(), "[Window]\r\nXPos=101\r\nYPos=102\r\nWidth=603\r\nHeight=404\r\n");
    Open();
    ShowWindow(window->Window(), SW_MAXIMIZE);
    Pump();
    onMessage = [](const MessageRequest&) { return 0; };
    SendMessageW(window->Window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(window->Ended());
    Settings saved;
    LoadSettingsFrom(DefaultSettingsPlaces(), saved);
    EXPECT_EQ(saved.windowX, 101);
    EXPECT_EQ(saved.windowHeight, 404);
}

TEST_F(WindowTest, SavedRectanglesOpenWhereSavedOrWhereTheyCanBeReached) {
    WriteBytes(SettingsFile(), "[Window]\r\nXPos=120\r\nYPos=0\r\nWidth=640\r\nHeight=480\r\n");
    Open();
    RECT rect = WindowRect();
    EXPECT_EQ(rect.left, 120);
    EXPECT_EQ(rect.top, 0);  // a top edge of 0 is restored like any other
    EXPECT_EQ(rect.right - rect.left, 640);
    EXPECT_EQ(rect.bottom - rect.top, 480);
    window.reset();

    // Far off every screen, and a size no window can be used at.
    WriteBytes(SettingsFile(), "[Window]\r\nXPos=30000\r\nYPos=30000\r\nWidth=3\r\nHeight=2\r\n");
    Open();
    rect = WindowRect();
    EXPECT_NE(MonitorFromRect(&rect, MONITOR_DEFAULTTONULL), nullptr);
    RECT client{};
    GetClientRect(window->InputPane(), &client);
    EXPECT_GT(client.bottom, 0);
    EXPECT_GT(rect.right - rect.left, 100);
}

}  // namespace
}  // namespace quillery::win32
