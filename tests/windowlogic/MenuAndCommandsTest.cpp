// The menu tree and its states, what the commands do to the record, the title and the
// panes' split and colours.
#include <gtest/gtest.h>

#include "engine/Cp932Codec.h"
#include "engine/Utf8.h"
#include "settings/Settings.h"
#include "windowlogic/Commands.h"
#include "windowlogic/KeyRules.h"
#include "windowlogic/MenuModel.h"
#include "windowlogic/PaneLayout.h"
#include "windowlogic/PaneLook.h"
#include "windowlogic/WindowTitle.h"

namespace quillery {
namespace {

std::string Utf8(std::u16string_view text) {
    return Utf16ToUtf8(text).value_or("<not UTF-16>");
}

// A popup's entries: "label=id", "[popup: ...]" and "-" for a separator; "*" marks a
// checkable item.
std::string Outline(const std::vector<MenuEntry>& entries) {
    std::string out;
    for (const MenuEntry& e : entries) {
        out += out.empty() ? "" : " ";
        if (e.kind == MenuEntry::Kind::Separator) {
            out += "-";
        } else if (e.kind == MenuEntry::Kind::Popup) {
            out += "[" + Utf8(e.label) + ": " + Outline(e.children) + "]";
        } else {
            out += Utf8(e.label) + "=" + std::to_string(static_cast<int>(e.id)) +
                   (e.checkable ? "*" : "");
        }
    }
    return out;
}

// The checked labels and the greyed identifiers, in the order of the states.
std::string Marks(const Settings& settings, bool busy) {
    std::string checked, greyed;
    for (const MenuItemState& s : MenuStates(settings, busy)) {
        if (s.checked) {
            checked += Utf8(s.label) + " ";
        }
        if (!s.enabled) {
            greyed += std::to_string(static_cast<int>(s.id)) + " ";
        }
    }
    return checked + "| " + greyed;
}

TEST(MenuModel, HoldsEveryPopupItemAndSeparatorInOrder) {
    EXPECT_EQ(
        Outline(MainMenuTree()),
        "[ファイル(&F): 入力テキスト保存(&S)=1034 変換テキスト保存(&C)=1035 - 終了(&X)=1005] "
        "[変換(&C): 変換(&C)=1002 - デバッグ変換(&D)=1024] "
        "[変換設定(&S): [変換率(&R): 0%=1006* 10%=1007* 20%=1008* 30%=1009* 40%=1010* "
        "50%=1011* 60%=1012* 70%=1013* 80%=1014* 90%=1015* 100%=1016*] "
        "辞書ファイル設定(&D)=1028] "
        "[ウインドウ(&W): [ウインドウ比率(&W): 1:5(&1)=1045* 2:4(&2)=32773* 3:3(&3)=1047* "
        "4:2(&4)=1048* 5:1(&5)=1049*] 黒の背景色にする(&B)=1050* 変換ペインを読込専用(&R)=1051*] "
        "[ヘルプ(&H): オンラインヘルプ(&O)=1052 - このソフトについて(&A)=1041]");
}

TEST(MenuModel, CheckMarksFollowTheRecordAndARunGreysFiveCommands) {
    Settings settings;
    settings.insertRatio = 4;
    EXPECT_EQ(Marks(settings, false), "40% 3:3(&3) | ");
    // Hand-edited values: a ratio with no item, flags of 2 (on for the panes, not checked).
    settings.insertRatio = 15;
    settings.windowRatio = 0;
    settings.blackBackground = settings.editReadOnly = 2;
    EXPECT_EQ(Marks(settings, false), "| ");
    settings.insertRatio = 10;
    settings.windowRatio = 5;
    settings.blackBackground = settings.editReadOnly = 1;
    EXPECT_EQ(Marks(settings, true),
              "100% 5:1(&5) 黒の背景色にする(&B) 変換ペインを読込専用(&R) | "
              "1034 1035 1005 1002 1024 ");
    // Every state keeps its item's label.
    for (const MenuItemState& s : MenuStates(settings, true)) {
        if (s.id == CommandId::Exit) {
            EXPECT_EQ(s.label, u"終了(&X)");
        }
    }
}

TEST(Commands, ChangeTheRecordAndSayWhatTheWindowDoes) {
    Settings s;
    EXPECT_EQ(ApplyCommand(s, RatioCommand(7), false), WindowAction::Refresh);
    EXPECT_EQ(s.insertRatio, 7);
    EXPECT_EQ(ApplyCommand(s, CommandId::Ratio0, false), WindowAction::Refresh);
    EXPECT_EQ(s.insertRatio, 0);
    EXPECT_EQ(ApplyCommand(s, CommandId::WindowRatio2, false), WindowAction::LayoutAndRefresh);
    EXPECT_EQ(s.windowRatio, 2);
    // The view flags toggle; a hand-edited 2 turns on, not off.
    s.blackBackground = 2;
    EXPECT_EQ(ApplyCommand(s, CommandId::BlackBackground, false), WindowAction::RefreshAndRepaint);
    EXPECT_EQ(s.blackBackground, 1);
    ApplyCommand(s, CommandId::BlackBackground, false);
    EXPECT_EQ(s.blackBackground, 0);
    s.editReadOnly = 2;
    EXPECT_EQ(ApplyCommand(s, CommandId::ReadOnly, false), WindowAction::Refresh);
    EXPECT_EQ(s.editReadOnly, 1);
    // 変換 is a normal run; neither run command does anything while one is under way.
    s.debugRun = 1;
    EXPECT_EQ(ApplyCommand(s, CommandId::Convert, true), WindowAction::None);
    EXPECT_EQ(s.debugRun, 1);
    EXPECT_EQ(ApplyCommand(s, CommandId::Convert, false), WindowAction::StartRun);
    EXPECT_EQ(s.debugRun, 0);
    EXPECT_EQ(ApplyCommand(s, CommandId::DebugConvert, true), WindowAction::None);
    EXPECT_EQ(ApplyCommand(s, CommandId::DebugConvert, false), WindowAction::DebugConvert);
    const std::pair<CommandId, WindowAction> plain[] = {
        {CommandId::SaveInput, WindowAction::SaveInput},
        {CommandId::SaveOutput, WindowAction::SaveOutput},
        {CommandId::Exit, WindowAction::Exit},
        {CommandId::Dictionary, WindowAction::Dictionary},
        {CommandId::OnlineHelp, WindowAction::OnlineHelp},
        {CommandId::About, WindowAction::About},
        {static_cast<CommandId>(57670), WindowAction::None},
    };
    for (const auto& [id, action] : plain) {
        EXPECT_EQ(ApplyCommand(s, id, true), action) << static_cast<int>(id);
    }
}

TEST(WindowTitle, ShowsTheRatioAndTheDictionarysFileName) {
    Settings s;
    s.insertRatio = 4;
    EXPECT_EQ(WindowTitle(s), u"Quillery - 40% ");
    // 表 and ソ end in the byte of "\": not a separator.
    ASSERT_TRUE(s.dictionaryPath.Assign(ThreadCodec().Encode(u"C:\\辞書\\表ソ.dat")));
    s.insertRatio = 15;
    EXPECT_EQ(WindowTitle(s), u"Quillery - 150% 表ソ.dat");
    // A hand-edited ratio wraps as the 32-bit product; a stray byte shows as U+FFFD.
    s.insertRatio = 214748365;
    ASSERT_TRUE(s.dictionaryPath.Assign("d/\x80x.dat"));
    EXPECT_EQ(WindowTitle(s), u"Quillery - -2147483646% \uFFFDx.dat");
}

TEST(PaneLayout, SplitsInSixthsWithTheRestBelow) {
    struct Row {
        int height, ratio, input, output;
    };
    const Row rows[] = {
        {380, 3, 189, 191},  // 380 / 6 = 63
        {100, 5, 80, 20},   {100, 1, 16, 84},
        {5, 3, 0, 5},      // lower than six: all to the output pane
        {-20, 3, 0, 0},    // a client area lower than the status bar
        {600, 9, 900, 0},  // a hand-edited ratio: the input pane runs under the bars
        {600, -1, 0, 700},
    };
    for (const Row& r : rows) {
        const PaneSplit split = SplitPaneHeights(r.height, r.ratio);
        EXPECT_EQ(split.inputHeight, r.input) << r.height << " " << r.ratio;
        EXPECT_EQ(split.outputHeight, r.output) << r.height << " " << r.ratio;
    }
    EXPECT_EQ(SplitPaneHeights(380, 3).outputTop, 189);
}

TEST(PaneLook, BlackOnlyForEnabledWritablePanesWhileTheFlagIsOne) {
    Settings s;
    s.blackBackground = 1;
    EXPECT_EQ(PaneLookFor(s, false, true), PaneLook::Black);
    EXPECT_EQ(PaneLookFor(s, true, true), PaneLook::Face);
    EXPECT_EQ(PaneLookFor(s, false, false), PaneLook::Face);
    s.blackBackground = 2;
    EXPECT_EQ(PaneLookFor(s, false, true), PaneLook::Usual);
    s.editReadOnly = 2;
    EXPECT_TRUE(OutputPaneReadOnly(s));
    s.editReadOnly = 0;
    EXPECT_FALSE(OutputPaneReadOnly(s));
}

TEST(KeyRules, EscNeverClosesAndEnterCtrlAAndCtrlTabWorkAsInAWindowsEdit) {
    using K = RuledKey;
    using A = KeyAction;
    struct Row {
        K key;
        bool ctrl, shift, inPane, writable;
        A action;
    };
    const Row rows[] = {
        {K::Escape, false, false, true, true, A::Swallow},
        {K::Escape, false, false, false, false, A::Swallow},
        {K::Enter, false, false, true, true, A::PassOn},  // the pane's own line break
        {K::Enter, false, false, false, false, A::Swallow},
        {K::Enter, false, true, true, true, A::LineBreak},
        {K::Enter, true, false, true, true, A::LineBreak},
        {K::Enter, true, false, true, false, A::Swallow},  // a read-only pane stays as it is
        {K::A, true, false, true, false, A::SelectAll},
        {K::A, true, true, true, true, A::SelectAll},
        {K::A, true, false, false, false, A::PassOn},
        {K::A, false, false, true, true, A::PassOn},
        {K::Tab, false, false, true, true, A::PassOn},  // moves the focus
        {K::Tab, true, false, true, true, A::InsertTab},
        {K::Tab, true, false, true, false, A::Swallow},
        {K::Tab, true, false, false, false, A::PassOn},
        {K::Other, true, true, true, true, A::PassOn},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(MainWindowKeyAction(r.key, r.ctrl, r.shift, r.inPane, r.writable), r.action)
            << static_cast<int>(r.key) << r.ctrl << r.shift << r.inPane << r.writable;
    }
}

}  // namespace
}  // namespace quillery
