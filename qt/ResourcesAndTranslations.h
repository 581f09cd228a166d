#pragma once

namespace quillery {

// Registers the icons compiled into the ui library (a static library keeps its
// resources only when they are asked for by name) and gives Qt's own dialogs and buttons
// their Japanese texts (はい / いいえ, the file chooser). Safe to call more than once;
// needs the application object.
void InstallResourcesAndTranslations();

}  // namespace quillery
