// Resource and control identifiers of Strandix!.exe, shared by the .rc and the dialog code.
#pragma once

// Templates, icon, picture, strings.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDD_STRANDIX_DIALOG 102
#define IDD_SETUP_DIALOG 120
#define IDD_SPLASH_DIALOG 133
#define IDR_MAINFRAME 128
#define IDB_SPLASH 134
#define IDS_APP_TITLE 57344

// Main dialog.
#define IDC_FIND 1003
#define IDC_BROWSE 1005
#define IDC_KEYWORDS 1007
#define IDC_ALLOW_REVERSE 1008
#define IDC_MIN_COLUMN_WIDTH 1009
#define IDC_MIN_COLUMN_WIDTH_SPIN 1010
#define IDC_MAX_COLUMN_WIDTH 1011
#define IDC_MAX_COLUMN_WIDTH_SPIN 1012
#define IDC_MAX_RESULT_LENGTH 1013
#define IDC_MAX_RESULT_LENGTH_SPIN 1014
#define IDC_MAX_DISTANCE 1015
#define IDC_MAX_DISTANCE_SPIN 1016
#define IDC_PROGRESS 1017
#define IDC_SAVE_RESULTS 1018
#define IDC_VIEW_RESULTS 1019
#define IDC_STATUS 1020
#define IDC_EXCLUDE_DIRECT_WORDS 1021
#define IDC_IGNORE_NUMBERS 1022
#define IDC_DOCUMENT_PATH 1023

// Setup dialog.
#define IDC_INSTALL_FOLDER 1014

// Splash screen.
#define IDC_SPLASH_LINE 1025
#define IDC_SPLASH_PICTURE 1026
