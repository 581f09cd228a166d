#include "settings/Settings.h"

namespace quillery {

Settings gSettings;

}  // namespace quillery
