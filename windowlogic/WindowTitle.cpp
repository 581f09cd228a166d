#include "windowlogic/WindowTitle.h"

#include <cstdint>

#include "settings/FileNames.h"
#include "settings/Settings.h"
#include "windowlogic/PaneFile.h"
#include "windowlogic/Texts.h"

namespace quillery {

std::u16string WindowTitle(const Settings& settings) {
    const auto percent =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(settings.insertRatio) * 10u);
    const std::string digits = std::to_string(percent);
    return texts::kTitlePrefix + std::u16string(digits.begin(), digits.end()) + u"% " +
           DisplayFromCp932(FileNameFromPath(settings.dictionaryPath.Bytes()));
}

}  // namespace quillery
