#include "qt/AccessibleNames.h"

#include <QWidget>

namespace quillery {

void NameMainWindowParts(QWidget* inputPane, QWidget* outputPane, QWidget* statusBar) {
    // The pane names follow the save commands (入力テキスト保存, 変換テキスト保存).
    inputPane->setAccessibleName(QStringLiteral("入力テキスト"));
    inputPane->setAccessibleDescription(
        QStringLiteral("変換する文章です。入力するか貼り付けます。"
                       "テキストファイルをドロップすると、その内容が挿入されます。"));
    outputPane->setAccessibleName(QStringLiteral("変換テキスト"));
    outputPane->setAccessibleDescription(QStringLiteral(
        "変換した結果の文章です。ファイルをドロップすると、辞書ファイルに設定されます。"));
    // The bar's one field keeps its text as its name, so the message itself is read.
    statusBar->setAccessibleName(QStringLiteral("ステータスバー"));
    statusBar->setAccessibleDescription(QStringLiteral(
        "変換の状況と、文節数・挿入数・行数・辞書の単語数・出力文字数を表示します。"));
}

}  // namespace quillery
