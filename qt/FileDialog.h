#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QFileDialog;
class QWidget;

namespace quillery {

// Every file chooser of the program goes through ChooseOpenFile or ChooseSaveFile, so
// tests can answer them without a person.

// One choice of a chooser's type list: the label as the user reads it and the wildcard
// patterns it really applies ("*" for every file, names without a dot included).
struct FileFilter {
    QString label;
    QStringList patterns;
    // Appended with a dot to a typed name without one while this choice is selected;
    // empty for none.
    QString defaultSuffix;
};

enum class FileChooserKind { Open, Save };

struct FileChooserRequest {
    FileChooserKind kind = FileChooserKind::Open;
    // In the order the list shows them; the first is selected when the chooser opens.
    QList<FileFilter> filters;
};

// The full path of the chosen file in the file system's encoding, or nothing when the
// chooser was cancelled. The open chooser accepts only files that exist; the save
// chooser asks before it names a file that exists.
std::optional<QString> ChooseOpenFile(const QList<FileFilter>& filters);
std::optional<QString> ChooseSaveFile(const QList<FileFilter>& filters);

using FileChooserHandler = std::function<std::optional<QString>(const FileChooserRequest&)>;

// Replaces the real choosers (for tests); an empty handler restores them.
void SetFileChooserHandler(FileChooserHandler handler);

// The real chooser for a request, set up but not run, with no parent window.
std::unique_ptr<QFileDialog> MakeFileChooser(const FileChooserRequest& request);

}  // namespace quillery
