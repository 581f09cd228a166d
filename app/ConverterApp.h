#pragma once

namespace quillery {

// The application object: runs the main window as the program's one modal dialog.
class CConverterApp {
  public:
    // Returns false: when the window has ended, the program ends.
    bool InitInstance();
};

}  // namespace quillery
