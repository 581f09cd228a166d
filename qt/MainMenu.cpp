#include "qt/MainMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "settings/Settings.h"

namespace quillery {

namespace {

struct BusyItem {
    CommandId id;
    const char16_t* label;
};

// The five commands a conversion run greys, in the order it rewrites them.
constexpr BusyItem kBusyItems[] = {
    {CommandId::SaveInput, u"入力テキスト保存(&S)"},
    {CommandId::SaveOutput, u"変換テキスト保存(&C)"},
    {CommandId::Exit, u"終了(&X)"},
    {CommandId::Convert, u"変換(&C)"},
    {CommandId::DebugConvert, u"デバッグ変換(&D)"},
};

QString Label(const char16_t* text) {
    return QString::fromUtf16(text);
}

const QString kBlackBackgroundLabel = QStringLiteral("黒の背景色にする(&B)");
const QString kReadOnlyLabel = QStringLiteral("変換ペインを読込専用(&R)");

}  // namespace

QString RatioLabel(int k) {
    return QStringLiteral("%1%").arg(k * 10);
}

QString WindowRatioLabel(int r) {
    return QStringLiteral("%1:%2(&%1)").arg(r).arg(6 - r);
}

MainMenu::MainMenu(QWidget* window) : QObject(window), menuBar_(new QMenuBar(window)) {
    menuBar_->setObjectName(QStringLiteral("menu129"));

    QMenu* file = menuBar_->addMenu(QStringLiteral("ファイル(&F)"));
    AddItem(file, CommandId::SaveInput, Label(kBusyItems[0].label));
    AddItem(file, CommandId::SaveOutput, Label(kBusyItems[1].label));
    file->addSeparator();
    AddItem(file, CommandId::Exit, Label(kBusyItems[2].label));

    QMenu* convert = menuBar_->addMenu(QStringLiteral("変換(&C)"));
    AddItem(convert, CommandId::Convert, Label(kBusyItems[3].label));
    convert->addSeparator();
    AddItem(convert, CommandId::DebugConvert, Label(kBusyItems[4].label));

    QMenu* options = menuBar_->addMenu(QStringLiteral("変換設定(&S)"));
    QMenu* ratio = options->addMenu(QStringLiteral("変換率(&R)"));
    for (int k = 0; k <= 10; ++k) {
        AddItem(ratio, RatioCommand(k), RatioLabel(k))->setCheckable(true);
    }
    AddItem(options, CommandId::Dictionary, QStringLiteral("辞書ファイル設定(&D)"));

    QMenu* windowMenu = menuBar_->addMenu(QStringLiteral("ウインドウ(&W)"));
    QMenu* windowRatio = windowMenu->addMenu(QStringLiteral("ウインドウ比率(&W)"));
    for (int r = 1; r <= 5; ++r) {
        AddItem(windowRatio, WindowRatioCommand(r), WindowRatioLabel(r))->setCheckable(true);
    }
    AddItem(windowMenu, CommandId::BlackBackground, kBlackBackgroundLabel)->setCheckable(true);
    AddItem(windowMenu, CommandId::ReadOnly, kReadOnlyLabel)->setCheckable(true);

    QMenu* help = menuBar_->addMenu(QStringLiteral("ヘルプ(&H)"));
    AddItem(help, CommandId::OnlineHelp, QStringLiteral("オンラインヘルプ(&O)"));
    help->addSeparator();
    AddItem(help, CommandId::About, QStringLiteral("このソフトについて(&A)"));
}

QAction* MainMenu::AddItem(QMenu* menu, CommandId id, const QString& label) {
    QAction* action = menu->addAction(label);
    const int value = static_cast<int>(id);
    action->setData(value);
    action->setObjectName(QStringLiteral("command%1").arg(value));
    actions_.insert(value, action);
    connect(action, &QAction::triggered, this, [this, id] { emit commandTriggered(id); });
    return action;
}

void MainMenu::Rewrite(CommandId id, const QString& label, bool checked) {
    QAction* item = action(id);
    item->setText(label);
    item->setChecked(checked);
    item->setEnabled(true);
}

void MainMenu::Refresh(const quillery::Settings& settings) {
    for (int k = 0; k <= 10; ++k) {
        Rewrite(RatioCommand(k), RatioLabel(k), settings.insertRatio == k);
    }
    for (int r = 1; r <= 5; ++r) {
        Rewrite(WindowRatioCommand(r), WindowRatioLabel(r), settings.windowRatio == r);
    }
    Rewrite(CommandId::BlackBackground, kBlackBackgroundLabel, settings.blackBackground == 1);
    Rewrite(CommandId::ReadOnly, kReadOnlyLabel, settings.editReadOnly == 1);
}

void MainMenu::SetBusy(bool busy) {
    for (const BusyItem& item : kBusyItems) {
        QAction* a = action(item.id);
        a->setText(Label(item.label));
        a->setEnabled(!busy);
    }
}

}  // namespace quillery
