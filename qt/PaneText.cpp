#include "qt/PaneText.h"

#include "engine/Cp932Text.h"

namespace quillery {

std::u16string PaneTextToCrLf(const QString& raw) {
    std::u16string out;
    out.reserve(static_cast<std::size_t>(raw.size()) + raw.size() / 16);
    const char16_t* data = reinterpret_cast<const char16_t*>(raw.utf16());
    const std::size_t n = static_cast<std::size_t>(raw.size());
    std::size_t start = 0;
    for (std::size_t i = 0; i < n; ++i) {
        // A line separator (Shift+Enter, or pasted) shows as a line break too.
        if (data[i] == QChar::ParagraphSeparator || data[i] == QChar::LineSeparator ||
            data[i] == u'\n') {
            out.append(data + start, i - start);
            out.append(u"\r\n");
            start = i + 1;
        }
    }
    out.append(data + start, n - start);
    return out;
}

QString CrLfToPaneText(std::u16string_view text) {
    return QString::fromStdU16String(CrLfToLf(text));
}

QString LfBreaks(QString crLfText) {
    return crLfText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace quillery
