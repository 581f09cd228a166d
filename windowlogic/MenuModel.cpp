#include "windowlogic/MenuModel.h"

#include "settings/Settings.h"
#include "windowlogic/Texts.h"

namespace quillery {

namespace {

std::u16string Number(int value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

MenuEntry Item(CommandId id, std::u16string label, bool checkable = false) {
    return {MenuEntry::Kind::Item, std::move(label), id, checkable, {}};
}

MenuEntry Separator() {
    return {MenuEntry::Kind::Separator, {}, {}, false, {}};
}

MenuEntry Popup(std::u16string label, std::vector<MenuEntry> children) {
    return {MenuEntry::Kind::Popup, std::move(label), {}, false, std::move(children)};
}

std::vector<MenuEntry> BuildTree() {
    std::vector<MenuEntry> ratios;
    for (int k = 0; k <= 10; ++k) {
        ratios.push_back(Item(RatioCommand(k), RatioLabel(k), true));
    }
    std::vector<MenuEntry> windowRatios;
    for (int r = 1; r <= 5; ++r) {
        windowRatios.push_back(Item(WindowRatioCommand(r), WindowRatioLabel(r), true));
    }
    return {
        Popup(texts::kMenuFile, {Item(CommandId::SaveInput, texts::kMenuSaveInput),
                                 Item(CommandId::SaveOutput, texts::kMenuSaveOutput), Separator(),
                                 Item(CommandId::Exit, texts::kMenuExit)}),
        Popup(texts::kMenuConvertPopup, {Item(CommandId::Convert, texts::kMenuConvert), Separator(),
                                         Item(CommandId::DebugConvert, texts::kMenuDebugConvert)}),
        Popup(texts::kMenuOptions, {Popup(texts::kMenuRatio, std::move(ratios)),
                                    Item(CommandId::Dictionary, texts::kMenuDictionary)}),
        Popup(texts::kMenuWindow,
              {Popup(texts::kMenuWindowRatio, std::move(windowRatios)),
               Item(CommandId::BlackBackground, texts::kMenuBlackBackground, true),
               Item(CommandId::ReadOnly, texts::kMenuReadOnly, true)}),
        Popup(texts::kMenuHelp, {Item(CommandId::OnlineHelp, texts::kMenuOnlineHelp), Separator(),
                                 Item(CommandId::About, texts::kMenuAbout)}),
    };
}

const char16_t* BusyLabel(CommandId id) {
    switch (id) {
        case CommandId::SaveInput:
            return texts::kMenuSaveInput;
        case CommandId::SaveOutput:
            return texts::kMenuSaveOutput;
        case CommandId::Exit:
            return texts::kMenuExit;
        case CommandId::Convert:
            return texts::kMenuConvert;
        default:
            return texts::kMenuDebugConvert;
    }
}

}  // namespace

std::u16string RatioLabel(int k) {
    return Number(k * 10) + u"%";
}

std::u16string WindowRatioLabel(int r) {
    return Number(r) + u":" + Number(6 - r) + u"(&" + Number(r) + u")";
}

const std::vector<MenuEntry>& MainMenuTree() {
    static const std::vector<MenuEntry> tree = BuildTree();
    return tree;
}

std::vector<MenuItemState> MenuStates(const Settings& settings, bool busy) {
    std::vector<MenuItemState> states;
    for (int k = 0; k <= 10; ++k) {
        states.push_back({RatioCommand(k), RatioLabel(k), settings.insertRatio == k, true});
    }
    for (int r = 1; r <= 5; ++r) {
        states.push_back(
            {WindowRatioCommand(r), WindowRatioLabel(r), settings.windowRatio == r, true});
    }
    states.push_back({CommandId::BlackBackground, texts::kMenuBlackBackground,
                      settings.blackBackground == 1, true});
    states.push_back({CommandId::ReadOnly, texts::kMenuReadOnly, settings.editReadOnly == 1, true});
    for (const CommandId id : kBusyCommands) {
        states.push_back({id, BusyLabel(id), false, !busy});
    }
    return states;
}

}  // namespace quillery
