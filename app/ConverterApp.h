#pragma once

#include <string_view>

namespace quillery {

inline constexpr std::u16string_view kNoCodePage932Message =
    u"このシステムではコードページ932（シフトJIS）の文字変換が使えないため、起動できません。";

// The application object: runs the main window as the program's one modal dialog.
class CConverterApp {
  public:
    // Returns false: when the window has ended, the program ends.
    bool InitInstance();
};

}  // namespace quillery
