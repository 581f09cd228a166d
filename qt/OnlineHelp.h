#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace quillery {

// The help page lies beside the executable, in this folder under this name.
inline constexpr char kHelpFolderName[] = "help";
inline constexpr char kHelpPageName[] = "index.html";

// The help page's address: a file URL built from the executable's folder.
QUrl HelpPageUrl();

// The same address as the user reads it in the help prompt and the about box.
QString HelpPageAddress();

// Hands the address to the system, which opens it in the user's default browser; false
// when nothing took it (a desktop without a browser launcher).
bool OpenUrl(const QUrl& url);

// Opens the help page; when that cannot be done, says so in a message box over `parent`
// with the page's path, so that the user can open it by hand.
void OpenHelpPage(QWidget* parent);

using UrlOpener = std::function<bool(const QUrl&)>;

// Replaces the system's opener (for tests); an empty opener restores it.
void SetUrlOpener(UrlOpener opener);

}  // namespace quillery
