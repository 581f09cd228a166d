#include <windows.h>

#include "win32/MainDlg.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return quillery::win32::RunMainWindow(instance);
}
