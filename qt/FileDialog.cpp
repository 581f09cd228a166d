#include "qt/FileDialog.h"

#include <QComboBox>
#include <QFileDialog>

namespace quillery {

namespace {

// Set by tests; empty while the real dialog is to be shown.
FileChooserHandler& Handler() {
    static FileChooserHandler handler;
    return handler;
}

// The entry the dialog parses: it takes the patterns from the parenthesised end of an
// entry, so the entry carries the patterns meant, whatever the label says.
QString ParsedEntry(const FileFilter& filter) {
    QString name = filter.label;
    const qsizetype open = name.lastIndexOf(QLatin1Char('('));
    if (open >= 0 && name.endsWith(QLatin1Char(')'))) {
        name.truncate(open);
    }
    return name + QLatin1Char('(') + filter.patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

std::optional<QString> Choose(const FileChooserRequest& request) {
    if (Handler()) {
        return Handler()(request);
    }
    const std::unique_ptr<QFileDialog> dialog = MakeFileChooser(request);
    if (dialog->exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const QStringList files = dialog->selectedFiles();
    if (files.isEmpty()) {
        return std::nullopt;
    }
    return files.first();
}

}  // namespace

std::unique_ptr<QFileDialog> MakeFileChooser(const FileChooserRequest& request) {
    auto dialog = std::make_unique<QFileDialog>();
    // The platform's own chooser would read "*.*" as names with a dot only and could not
    // be relabelled.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    if (request.kind == FileChooserKind::Save) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    if (request.filters.isEmpty()) {
        return dialog;
    }
    QStringList entries;
    for (const FileFilter& filter : request.filters) {
        entries << ParsedEntry(filter);
    }
    dialog->setNameFilters(entries);
    dialog->setDefaultSuffix(request.filters.first().defaultSuffix);

    // Show each entry under its own label. Selecting by index keeps the patterns the
    // dialog parsed; a suffix typed in the save chooser is kept, since "*" has none for
    // the dialog to put in its place.
    auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    if (types != nullptr && types->count() == request.filters.size()) {
        for (int i = 0; i < types->count(); ++i) {
            types->setItemText(i, request.filters[i].label);
        }
        QFileDialog* raw = dialog.get();
        const QList<FileFilter> filters = request.filters;
        QObject::connect(types, &QComboBox::currentIndexChanged, raw, [raw, filters](int index) {
            if (index >= 0 && index < filters.size()) {
                raw->setDefaultSuffix(filters[index].defaultSuffix);
            }
        });
    }
    return dialog;
}

std::optional<QString> ChooseOpenFile(const QList<FileFilter>& filters) {
    return Choose(FileChooserRequest{FileChooserKind::Open, filters});
}

std::optional<QString> ChooseSaveFile(const QList<FileFilter>& filters) {
    return Choose(FileChooserRequest{FileChooserKind::Save, filters});
}

void SetFileChooserHandler(FileChooserHandler handler) {
    Handler() = std::move(handler);
}

}  // namespace quillery
