#pragma once

// Every text the windows show, in one place, so that both front ends say the same thing.
// Line breaks are CR LF, as a message box and a Windows edit take them; a front end whose
// widgets want LF alone converts at its edge.

namespace quillery::texts {

// Main window.
inline constexpr char16_t kInitialCaption[] = u"QuilleryMini";
inline constexpr char16_t kTitlePrefix[] = u"Quillery - ";
inline constexpr char16_t kOutputPlaceholder[] = u"<<< ここに変換結果が表示されます >>>";
inline constexpr char16_t kExitQuestion[] = u"終了しますか？";
inline constexpr char16_t kCannotOpenFile[] = u"ファイルが開けません";
// The help prompt: the help page's address goes between the two parts.
inline constexpr char16_t kHelpPromptBefore[] = u"オンラインヘルプを表示するため\r\n";
inline constexpr char16_t kHelpPromptAfter[] = u"\r\nをブラウザで開きますか？";
inline constexpr char16_t kHelpCannotOpenBefore[] = u"オンラインヘルプを開けませんでした。\r\n";
inline constexpr char16_t kHelpCannotOpenAfter[] = u"\r\nをブラウザで開いてください。";

// Menu 129: popups and items. The ratio and window-ratio labels are made by MenuModel.
inline constexpr char16_t kMenuFile[] = u"ファイル(&F)";
inline constexpr char16_t kMenuSaveInput[] = u"入力テキスト保存(&S)";
inline constexpr char16_t kMenuSaveOutput[] = u"変換テキスト保存(&C)";
inline constexpr char16_t kMenuExit[] = u"終了(&X)";
inline constexpr char16_t kMenuConvertPopup[] = u"変換(&C)";
inline constexpr char16_t kMenuConvert[] = u"変換(&C)";
inline constexpr char16_t kMenuDebugConvert[] = u"デバッグ変換(&D)";
inline constexpr char16_t kMenuOptions[] = u"変換設定(&S)";
inline constexpr char16_t kMenuRatio[] = u"変換率(&R)";
inline constexpr char16_t kMenuDictionary[] = u"辞書ファイル設定(&D)";
inline constexpr char16_t kMenuWindow[] = u"ウインドウ(&W)";
inline constexpr char16_t kMenuWindowRatio[] = u"ウインドウ比率(&W)";
inline constexpr char16_t kMenuBlackBackground[] = u"黒の背景色にする(&B)";
inline constexpr char16_t kMenuReadOnly[] = u"変換ペインを読込専用(&R)";
inline constexpr char16_t kMenuHelp[] = u"ヘルプ(&H)";
inline constexpr char16_t kMenuOnlineHelp[] = u"オンラインヘルプ(&O)";
inline constexpr char16_t kMenuAbout[] = u"このソフトについて(&A)";

// Names and descriptions for screen readers. The pane names follow the save commands.
inline constexpr char16_t kInputPaneName[] = u"入力テキスト";
inline constexpr char16_t kInputPaneDescription[] =
    u"変換する文章です。入力するか貼り付けます。"
    u"テキストファイルをドロップすると、その内容が挿入されます。";
inline constexpr char16_t kOutputPaneName[] = u"変換テキスト";
inline constexpr char16_t kOutputPaneDescription[] =
    u"変換した結果の文章です。ファイルをドロップすると、辞書ファイルに設定されます。";
inline constexpr char16_t kStatusBarName[] = u"ステータスバー";
inline constexpr char16_t kStatusBarDescription[] =
    u"変換の状況と、文節数・挿入数・行数・辞書の単語数・出力文字数を表示します。";

// Buttons every dialog shares.
inline constexpr char16_t kOk[] = u"OK";
inline constexpr char16_t kCancel[] = u"ｷｬﾝｾﾙ";

// Dictionary file dialog (template 132).
inline constexpr char16_t kDictionaryCaption[] = u"辞書の選択";
inline constexpr char16_t kDictionaryFieldLabel[] = u"辞書ファイル名";
inline constexpr char16_t kBrowseButton[] = u"...";
inline constexpr char16_t kDictionaryExplanation[] =
    u"辞書ファイルとは、文章に挿入するキーワードを羅列したファイルです。\r\n"
    u"この辞書ファイルのキーワードを使って、入力した文章を変換します。\r\n"
    u"ファイル名は直接入力するか、横の[...]ボタンを押して選択します。";
inline constexpr char16_t kDictionaryFieldName[] = u"辞書ファイル名";
inline constexpr char16_t kDictionaryFieldDescription[] =
    u"挿入するキーワードを羅列した辞書ファイルのパスです。"
    u"直接入力するか、ファイルをドロップします。";
inline constexpr char16_t kBrowseName[] = u"辞書ファイルを選択";
inline constexpr char16_t kBrowseDescription[] =
    u"ファイルを選ぶ画面を開いて、辞書ファイルを選択します。";
inline constexpr char16_t kRefusedCharacters[] =
    u"辞書ファイル名に使えない文字です。\r\n"
    u"シフトJIS（コードページ932）で表せない文字と改行は使えません。";
inline constexpr char16_t kNameTooLong[] =
    u"辞書ファイル名が長すぎます。シフトJISで255バイトまでです。";
inline constexpr char16_t kUnusableChosenName[] =
    u"このファイルは辞書ファイルに設定できません。\r\n"
    u"ファイル名にシフトJISで表せない文字があります。";
inline constexpr char16_t kChosenNameTooLong[] =
    u"このファイルは辞書ファイルに設定できません。\r\n"
    u"ファイル名がシフトJISで255バイトを超えています。";
inline constexpr char16_t kDictionaryFilterLabel[] = u"Dictionary Data(*.dat)";
inline constexpr char16_t kTextFilterLabel[] = u"Text Data(*.txt)";
inline constexpr char16_t kAllFilesFilterLabel[] = u"All files(*.*)";

// Debug conversion dialog (template 133).
inline constexpr char16_t kDebugCaption[] = u"デバッグ変換";
inline constexpr char16_t kInsertMarkCheck[] = u"文節に<>を挿入";
inline constexpr char16_t kFixedSeedCheck[] = u"乱数系列を固定する";
inline constexpr char16_t kSeedLabel[] = u"系列値(0～4294967295)";
inline constexpr char16_t kNewestSeedLabel[] = u"最新の通常変換の系列値";
inline constexpr char16_t kCopySeedButton[] = u"↑コピー";
inline constexpr char16_t kSeedRefused[] = u"系列値には 0～4294967295 の整数を入力してください。";
inline constexpr char16_t kSeedFieldName[] = u"系列値";
inline constexpr char16_t kSeedFieldDescription[] =
    u"乱数系列を固定するときの系列値です（0～4294967295）。";
// The newest seed's name carries its value (a space, then the number) for screen readers.
inline constexpr char16_t kNewestSeedName[] = u"最新の通常変換の系列値 ";
inline constexpr char16_t kNewestSeedDescription[] =
    u"時刻から決まった最新の系列値です。[↑コピー]で系列値の欄に写します。";

// About box (template 134).
inline constexpr char16_t kAboutCaption[] = u"このソフトについて";
inline constexpr char16_t kProductLinePrefix[] = u"Quillery Ver";
inline constexpr char16_t kNoticeLine[] = u"(C) 2026 Quillery Mini developers";
inline constexpr char16_t kAboutTextName[] = u"バージョン情報";
inline constexpr char16_t kAboutTextDescription[] =
    u"製品名とバージョン、作者の表示とウェブアドレスです。";

// Dropped files.
inline constexpr char16_t kRefusedFileHead[] = u"次のファイルは挿入できません。\r\n";
inline constexpr char16_t kDropCannotOpen[] = u"ファイルが開けません。";
inline constexpr char16_t kDropNotText[] =
    u"テキストファイルではありません（NUL文字を含んでいます）。";
inline constexpr char16_t kDropTooLarge[] =
    u"ファイルが大きすぎます。一度に挿入できるのは合わせて64MBまでです。";

// Buttons of a question.
inline constexpr char16_t kYes[] = u"はい";
inline constexpr char16_t kNo[] = u"いいえ";

// The page: what a browser needs said that a window does not.
inline constexpr char16_t kPageBundledDictionary[] = u"同梱の辞書（velmo.dat）を使う";
inline constexpr char16_t kPageLoadSettings[] = u"設定ファイルを読み込む";
inline constexpr char16_t kPageSaveSettings[] = u"設定ファイルを保存";
inline constexpr char16_t kPageSettingsNote[] =
    u"設定はこのブラウザに保存されます。QuilleryMini.ini "
    u"を読み込むと、デスクトップ版と同じ設定になります。";
inline constexpr char16_t kPageUnreadableSettings[] =
    u"ブラウザに保存された設定が読めないため、既定の設定で始めました";

}  // namespace quillery::texts
