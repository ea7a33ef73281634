// Resource numbers and control identifiers, grouped by window.
#pragma once

// Application
#define IDR_MAINFRAME 128           // application icon
#define IDS_SOCKETS_FAILED 103      // "Windows 소켓을 초기화하지 못했습니다."
#define IDR_TRAY_MENU 129           // the tray icon's menu (its first popup)
#define IDB_OPTION_PAGES 130        // two 24 x 24 page images, magenta transparent
#define IDB_MAIN_BACKGROUND 132     // 363 x 279, the main window's client area
#define IDB_OPTIONS_BUTTON 133      // 108 x 113 faces of the three picture buttons, normal and over
#define IDB_SPARE_BUTTON 134
#define IDB_SECURE_DELETE_BUTTON 135
#define IDB_PERSONAL_BUTTON 136
#define IDB_OPTIONS_BUTTON_OVER 137
#define IDB_SECURE_DELETE_BUTTON_OVER 138
#define IDB_PERSONAL_BUTTON_OVER 139
#define IDC_QUENZO_CURSOR 141       // the program's arrow, set when the pointer leaves a hot spot
#define IDB_ABOUT 142               // 279 x 144, the about window's picture
#define IDB_NOTICE_SKIN 143         // 180 x 120, the notice popup's face
#define IDB_BUILTIN_BANNER 144      // 342 x 119, the banner shown while no downloaded one is at hand

// Main window "Quenzo Lite"
#define IDD_QUENZOLITE_DIALOG 102
#define IDC_SECURE_DELETE_BUTTON 1000
#define IDC_PERSONAL_BUTTON 1001
#define IDC_OPTIONS_BUTTON 1002
#define IDC_BANNER 1042
#define ID_TRAY_HOMEPAGE 32774
#define ID_TRAY_OPEN 32775
#define ID_TRAY_EXIT 32776
#define ID_TRAY_UPDATE 32778
#define ID_TRAY_ABOUT 32780
#define ID_TRAY_OPTIONS 32782
#define ID_TRAY_TOP 32784
#define ID_TRAY_HIDE 32786

// About window
#define IDD_QUENZOABOUT_DIALOG 110

// Deletion list "보안 삭제"
#define IDD_QUENZOFILEDELETE_DIALOG 104
#define IDC_DELETE_LIST 1003
#define IDC_RESET_LIST 1004
#define IDC_ADD_FILE 1005
#define IDC_ADD_FOLDER 1006
#define IDC_SECURE_DELETE 1007

// Personal-information window "개인 정보 삭제"
#define IDD_QUENZOPERSNALDELETE_DIALOG 105
#define IDC_PERSNAL_INTRO 1015
#define IDC_CHECK_INTERNET_CACHE 1016
#define IDC_CHECK_COOKIES 1017
#define IDC_CHECK_TEMP_FILES 1018
#define IDC_CHECK_RECENT_DOCS 1019
#define IDC_CHECK_SAVED_PASSWORDS 1020
#define IDC_CHECK_AUTOCOMPLETE 1021
#define IDC_CHECK_HISTORY 1022
#define IDC_CHECK_FAVORITES 1023
#define IDC_CLEAN_ALL 1024
#define IDC_CLEAN_SELECTED 1025
#define IDC_PERSNAL_CLOSE 1026
#define IDC_PERSNAL_GROUP 1027

// Preferences "환경설정"
#define IDD_QUENZOOPTION_DIALOG 106
#define IDC_OPTION_OK 1030
#define IDC_OPTION_CANCEL 1031
#define IDC_PAGE_LIST 1032
#define IDC_PAGE_FRAME 1033
#define IDC_OPTION_SEPARATOR 1041   // the line above the buttons (a number of our own)

// Progress "삭제중...."
#define IDD_QUENZOREALDELETE_DIALOG 107
#define IDC_FILE_PROGRESS 1008
#define IDC_TOTAL_PROGRESS 1009
#define IDC_CURRENT_PATH 1010
#define IDC_PASS_LINE 1011
#define IDC_FILE_PERCENT 1012
#define IDC_TOTAL_PERCENT 1013
#define IDC_CANCEL_DELETE 1014

// Method page
#define IDD_FILEDELETE_OPTION 108
#define IDC_METHOD_TRACKBAR 1035
#define IDC_METHOD_NOTE 1036
#define IDC_METHOD_NAME 1037
#define IDC_METHOD_SPEED 1038
#define IDC_METHOD_PASSES 1039
#define IDC_METHOD_SAVE 1040

// Personal-information page
#define IDD_PERSNALDELETE_OPTION 109
#define IDC_PERSNAL_SECURE 1034

// The update program's download window "Quenzo Light" (numbers of our own)
#define IDD_UPDATE_PROGRESS 111
#define IDC_UPDATE_TEXT 1043
#define IDC_UPDATE_PROGRESS 1044
#define IDC_UPDATE_AMOUNT 1045

// Free-space window "빈 공간 지우기", its tray item and the deletion list's button to it
// (numbers of our own)
#define IDD_FREESPACE_DIALOG 120
#define IDC_FREE_DRIVE 1060
#define IDC_FREE_METHOD 1061
#define IDC_FREE_AMOUNT 1062
#define IDC_FREE_PROGRESS 1063
#define IDC_FREE_WRITTEN 1064
#define IDC_FREE_TIME_LEFT 1065
#define IDC_FREE_START 1066
#define IDC_FREE_CANCEL 1067
#define IDC_FREE_SPACE_BUTTON 1068
#define ID_TRAY_FREE_SPACE 32790

// Other browsers "다른 브라우저 정리", and the personal-information window's button to it
// (numbers of our own)
#define IDD_BROWSER_CLEAN_DIALOG 131
#define IDC_BROWSER_PROFILES 1080
#define IDC_BROWSER_CACHE 1081
#define IDC_BROWSER_COOKIES 1082
#define IDC_BROWSER_HISTORY 1083
#define IDC_BROWSER_FORMS 1084
#define IDC_BROWSER_PASSWORDS 1085
#define IDC_BROWSER_NOTE 1086
#define IDC_BROWSER_CLEAN 1087
#define IDC_BROWSER_CLOSE 1088
#define IDC_OTHER_BROWSERS 1089


#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
