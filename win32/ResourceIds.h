#pragma once

// Identifiers shared by the resource script and the code. The command identifiers of
// the menu are the shared window rules' own; these are the resources and the dialogs'
// controls.
#define IDD_MAIN 102
#define IDD_DICTIONARY 132
#define IDD_DEBUG_CONVERT 133
#define IDD_ABOUT 134
#define IDR_MAIN_MENU 129
#define IDI_APP 128

#define IDC_INPUT_PANE 1003
#define IDC_OUTPUT_PANE 1004
#define IDC_DICTIONARY_NAME 1029
#define IDC_BROWSE 1030
#define IDC_EXPLANATION 1031
#define IDC_INSERT_MARK 1036
#define IDC_FIXED_SEED 1037
#define IDC_SEED 1038
#define IDC_NEWEST_SEED 1039
#define IDC_COPY_SEED 1040
#define IDC_ABOUT_TEXT 1043
// The status bar's identifier, as dialog frameworks number theirs.
#define IDC_STATUS_BAR 59393
