#pragma once

#include <windows.h>

#include "settings/Settings.h"

namespace quillery::win32 {

// The debug conversion dialog (template 133). On OK the options go into `settings` and
// the next run is a debug run: true. Cancel changes nothing: false.
bool RunDebugConvertDlg(HWND owner, Settings& settings);

}  // namespace quillery::win32
