// Identifiers of the installer dialog template and its controls; shared by
// the resource script, the dialog procedure and the tests.
#pragma once

#define IDD_INSTALLER 103

#define IDC_INSTALL_FOLDER 1001
#define IDC_WEB_LINK 1002
#define IDC_LICENCE_TEXT 1005
#define IDC_ACCEPT 1006
#define IDC_FOLDER_LINK 1007
#define IDC_PACKAGE_LINK 1008
#define IDC_MIDDLE_SEPARATOR 1009
#define IDC_BOTTOM_SEPARATOR 1010
#define IDC_ALL_USERS 1011
#define IDC_DESKTOP_ICON 1012
#define IDC_RUN_WHEN_DONE 1013
#define IDC_TOP_SEPARATOR 1014

// Sent by the Package Contents window to its owner when it is destroyed.
#define WM_PACKAGE_WINDOW_GONE (WM_USER + 1)
