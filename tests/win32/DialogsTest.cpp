// The dialogs, saving a pane, the online help and dropped files, driven by messages.
#include "tests/win32/WindowTestSupport.h"

#include <shlobj.h>

#include <cstring>

#include "engine/Cp932Codec.h"
#include "settings/FileNames.h"
#include "win32/ResourceIds.h"
#include "windowlogic/PaneFile.h"
#include "windowlogic/Texts.h"

namespace quillery::win32 {
namespace {

std::u16string ItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

// A drop of `paths` let go at `point` (client coordinates of `target`), as the shell
// hands it over.
void Drop(HWND target, POINT point, const std::vector<std::wstring>& paths) {
    std::wstring names;
    for (const std::wstring& path : paths) {
        names += path;
        names.push_back(L'\0');
    }
    names.push_back(L'\0');
    const SIZE_T bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->pt = point;
    header->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), names.data(),
                names.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    SendMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

// A point inside `pane`, in the client coordinates of the window holding it.
POINT InsidePane(HWND window, HWND pane) {
    RECT rect{};
    GetWindowRect(pane, &rect);
    POINT point{rect.left + 5, rect.top + 5};
    ScreenToClient(window, &point);
    return point;
}

TEST_F(WindowTest, DictionaryDialogTakesATypedOrChosenNameOnlyWithOk) {
    Open();
    std::u16string explanation;
    onDialog[IDD_DICTIONARY] = [&](HWND dialog) {
        explanation = ItemText(dialog, IDC_EXPLANATION);
        SetDlgItemTextW(dialog, IDC_DICTIONARY_NAME, L"C:\\辞書\\words.txt");
        Press(dialog, IDCANCEL);
    };
    Command(1028);
    EXPECT_EQ(explanation, texts::kDictionaryExplanation);
    EXPECT_TRUE(gSettings.dictionaryPath.Empty());
    EXPECT_EQ(Title(), u"Quillery - 40% ");

    onDialog[IDD_DICTIONARY] = [](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_DICTIONARY_NAME, L"C:\\辞書\\words.txt");
        Press(dialog, IDOK);
    };
    Command(1028);
    EXPECT_EQ(gSettings.dictionaryPath.Bytes(), ThreadCodec().Encode(u"C:\\辞書\\words.txt"));
    EXPECT_EQ(Title(), u"Quillery - 40% words.txt");

    // A character code page 932 lacks is refused as it is typed, and the field keeps its
    // text; the chooser's file then replaces it.
    const std::string chosen = Folder() + "chosen.dat";
    WriteBytes(chosen, "X");
    chosenFile = *WidePath(chosen);
    std::vector<std::u16string> fieldTexts;
    onDialog[IDD_DICTIONARY] = [&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_DICTIONARY_NAME, L"C:\\é.txt");
        fieldTexts.push_back(ItemText(dialog, IDC_DICTIONARY_NAME));
        Press(dialog, IDC_BROWSE);
        Press(dialog, IDOK);
    };
    Command(1028);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, texts::kRefusedCharacters);
    EXPECT_EQ(fieldTexts, std::vector<std::u16string>{u"C:\\辞書\\words.txt"});
    ASSERT_EQ(fileDialogs.size(), 1u);
    EXPECT_EQ(fileDialogs[0], FileDialogKind::kOpenDictionary);
    EXPECT_EQ(gSettings.dictionaryPath.Bytes(), *FileSystemNameToCp932(chosen));
    EXPECT_EQ(Title(), u"Quillery - 40% chosen.dat");
    RemoveFile(chosen);
}

TEST_F(WindowTest, DebugDialogShowsCopiesAndChecksTheSeed) {
    WriteBytes(
        SettingsFile(),
        "[Debug]\r\nInsertMark=1\r\nUseRandom=2\r\nRandomSeed=-1\r\nNewestRandomSeed=-2\r\n");
    Open();
    std::u16string seed, newest, copied;
    bool markTicked = false, fixedTicked = true;
    onDialog[IDD_DEBUG_CONVERT] = [&](HWND dialog) {
        seed = ItemText(dialog, IDC_SEED);
        newest = ItemText(dialog, IDC_NEWEST_SEED);
        markTicked = IsDlgButtonChecked(dialog, IDC_INSERT_MARK) == BST_CHECKED;
        fixedTicked = IsDlgButtonChecked(dialog, IDC_FIXED_SEED) == BST_CHECKED;
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_COPY_SEED, BN_CLICKED), 0);
        copied = ItemText(dialog, IDC_SEED);
        SetDlgItemTextW(dialog, IDC_SEED, L"4294967296");
        Press(dialog, IDOK);
        Press(dialog, IDCANCEL);
    };
    Command(1024);
    EXPECT_EQ(seed, u"4294967295");
    EXPECT_EQ(newest, u"-2");
    EXPECT_EQ(copied, u"4294967294");
    EXPECT_TRUE(markTicked);
    EXPECT_FALSE(fixedTicked);  // only a stored 1 ticks it
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, texts::kSeedRefused);
    // Cancel after the refusal: nothing stored, no run.
    EXPECT_EQ(gSettings.randomSeed, 4294967295u);
    EXPECT_EQ(gSettings.useFixedSeed, 2);
    EXPECT_FALSE(window->RunActive());
}

TEST_F(WindowTest, AboutBoxAndOnlineHelpShowTheHelpPageBesideTheProgram) {
    Open();
    std::u16string about;
    onDialog[IDD_ABOUT] = [&](HWND dialog) {
        about = ItemText(dialog, IDC_ABOUT_TEXT);
        Press(dialog, IDOK);
    };
    Command(1041);
    EXPECT_EQ(about.rfind(u"Quillery Ver1.00\r\n", 0), 0u);
    EXPECT_TRUE(about.ends_with(u"/help/index.html"));

    Command(1052);  // answered No
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(opened.empty());
    const std::u16string address = about.substr(about.rfind(u"\r\n") + 2);
    EXPECT_EQ(messages[0].text,
              u"オンラインヘルプを表示するため\r\n" + address + u"\r\nをブラウザで開きますか？");
    onMessage = [](const MessageRequest&) { return IDYES; };
    Command(1052);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(U16(opened[0]), address);
    EXPECT_EQ(messages.size(), 2u);  // the question only

    // Nothing took the page: the user is told where it lies, to open it by hand.
    openerTakes = false;
    Command(1052);
    ASSERT_EQ(messages.size(), 4u);
    const std::u16string& told = messages[3].text;
    EXPECT_EQ(told.rfind(u"オンラインヘルプを開けませんでした。\r\n", 0), 0u);
    EXPECT_TRUE(told.ends_with(u"\\help\\index.html\r\nをブラウザで開いてください。"));
    EXPECT_EQ(messages[3].type & MB_YESNO, 0u);
}

TEST_F(WindowTest, SavedPanesHoldTheirCodePage932BytesAndReadOnlyFilesStay) {
    Open();
    const std::string path = Folder() + "saved.txt";
    RemoveFile(path);
    SetWindowTextW(window->InputPane(), L"一行目 %s %%\r\n二行目");
    Command(1034);
    EXPECT_TRUE(fileDialogs.empty() ? false : fileDialogs[0] == FileDialogKind::kSaveText);
    EXPECT_TRUE(ReadBytes(path).empty());  // the chooser was cancelled

    chosenFile = *WidePath(path);
    Command(1034);
    EXPECT_EQ(ReadBytes(path), ThreadCodec().Encode(u"一行目 %s %%\r\n二行目"));
    Command(1035);  // the read-only pane's placeholder saves too
    EXPECT_EQ(ReadBytes(path), PaneFileBytes(texts::kOutputPlaceholder));
    EXPECT_TRUE(messages.empty());

    SetFileAttributesW(chosenFile->c_str(), FILE_ATTRIBUTE_READONLY);
    Command(1034);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, texts::kCannotOpenFile);
    EXPECT_EQ(ReadBytes(path), PaneFileBytes(texts::kOutputPlaceholder));
    RemoveFile(path);
}

TEST_F(WindowTest, FilesDroppedOnTheInputPaneAreInsertedElsewhereTheyBecomeTheDictionary) {
    Open();
    const std::string text = Folder() + "dropped.txt";
    const std::string binary = Folder() + "binary.dat";
    WriteBytes(text,
               "\xEF\xBB\xBF"
               "落とした\n文章");
    WriteBytes(binary, std::string("a\0b", 3));
    HWND main = window->Window();

    Drop(main, InsidePane(main, window->InputPane()), {*WidePath(text)});
    EXPECT_EQ(WindowText(window->InputPane()), u"落とした\r\n文章");
    Drop(main, InsidePane(main, window->InputPane()), {*WidePath(text), *WidePath(binary)});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].text.find(texts::kDropNotText), std::u16string::npos);
    EXPECT_EQ(WindowText(window->InputPane()), u"落とした\r\n文章");  // nothing of either

    Drop(main, InsidePane(main, window->OutputPane()), {*WidePath(binary)});
    EXPECT_EQ(gSettings.dictionaryPath.Bytes(), *FileSystemNameToCp932(binary));
    EXPECT_EQ(Title(), u"Quillery - 40% binary.dat");
    // Two files make no dictionary.
    Drop(main, InsidePane(main, window->OutputPane()), {*WidePath(text), *WidePath(binary)});
    EXPECT_EQ(gSettings.dictionaryPath.Bytes(), *FileSystemNameToCp932(binary));
    RemoveFile(text);
    RemoveFile(binary);
}

}  // namespace
}  // namespace quillery::win32
