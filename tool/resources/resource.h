// Resource and control ids of zelo-tool. Included by C++ code and by the
// resource compiler, so only plain #defines outside the RC_INVOKED guard.
// Control ids are local to their dialog: the same number names different
// controls on different pages, hence one group of names per dialog.
#ifndef ZELO_TOOL_RESOURCE_H
#define ZELO_TOOL_RESOURCE_H

// ---- Dialog templates ------------------------------------------------------
#define IDD_MAIN                    129
#define IDD_PAGE_SETTINGS           133
#define IDD_PAGE_MACROS             134
#define IDD_PAGE_DEVICE_CODE        135
#define IDD_LANGUAGE                136
#define IDD_ABOUT                   138
#define IDD_PAIRING                 152
#define IDD_PAGE_KEY_MAPPING        153
#define IDD_PAGE_IR                 154
#define IDD_PAGE_MODULE             101

// ---- Icon, menu, bitmaps ---------------------------------------------------
// The icon shares its number with the key mapping template; resource types
// keep them apart.
#define IDI_APP                     153
#define IDM_MAIN_MENU               109

#define IDB_FLAG_GERMAN             139
#define IDB_FLAG_DANISH             140
#define IDB_FLAG_SPANISH            141
#define IDB_FLAG_FRENCH             142
#define IDB_FLAG_ICELANDIC          143
#define IDB_FLAG_DUTCH              144
#define IDB_FLAG_ENGLISH            145
#define IDB_FLAG_ITALIAN            146

// ---- Menu commands ---------------------------------------------------------
#define IDM_HELP_ABOUT              104
#define IDM_FILE_EXIT               105
#define IDM_OPTIONS_LANGUAGE        32774
#define IDM_OPTIONS_RESTORE_DEFAULTS 32775
#define IDM_HELP_CHECK_UPDATES      32776
#define IDM_OPTIONS_FILL_FF         32777
#define IDM_OPTIONS_FILL_00         32778
#define IDM_HELP_HELP               32779
#define IDM_TOOLS_PAIR              32781
#define IDM_FILE_EXPORT_SETTINGS    32782
#define IDM_FILE_IMPORT_SETTINGS    32783

// ---- Main window (IDD_MAIN) ------------------------------------------------
#define IDC_MAIN_EXIT               2
#define IDC_MAIN_SAVE               1002
#define IDC_MAIN_TAB                1013
// Created at run time: the status bar (child of the main window) and the
// progress bar that sits on its second part (child of the status bar).
#define IDC_MAIN_STATUS_BAR         0
#define IDC_MAIN_STATUS_PROGRESS    1

// Every page carries a borderless frame group box, resized to the page.
#define IDC_PAGE_FRAME              1014

// ---- Settings page (IDD_PAGE_SETTINGS) -------------------------------------
#define IDC_SETTINGS_STATUS_LED         1000
#define IDC_SETTINGS_DISCRETE_POWER_ON  1004
#define IDC_SETTINGS_LOW_BATTERY_LED    1005
#define IDC_SETTINGS_RECEIVER_MODE      1016
#define IDC_SETTINGS_POWER_TRACKING     1017
#define IDC_SETTINGS_PAIRING_MODE       1018
#define IDC_SETTINGS_POWER_NOTE         1052
#define IDC_SETTINGS_RECEIVER_LABEL     1057
#define IDC_SETTINGS_POWER_TRACKING_LABEL 1058
#define IDC_SETTINGS_PAIRING_MODE_LABEL 1059
#define IDC_SETTINGS_RECEIVER_HELP      1061

// ---- Macro page (IDD_PAGE_MACROS) ------------------------------------------
#define IDC_MACRO_DEFAULT           1002
#define IDC_MACRO_SELECT            1010
#define IDC_MACRO_SELECT_LABEL      1055
#define IDC_MACRO_COMMAND_LABEL     1058
#define IDC_MACRO_DURATION_LABEL    1059
#define IDC_MACRO_PAUSE_LABEL       1060

// Ten step rows; row r uses FIRST + r of each column. Rows 8 and 9 exist
// but stay hidden.
#define IDC_MACRO_ROW_COUNT         10
#define IDC_MACRO_VISIBLE_ROWS      8
#define IDC_MACRO_DELAY_FIRST       1018
#define IDC_MACRO_HOLD_FIRST        1029
#define IDC_MACRO_COMMAND_FIRST     1039

#define IDC_MACRO_DELAY_0           1018
#define IDC_MACRO_DELAY_1           1019
#define IDC_MACRO_DELAY_2           1020
#define IDC_MACRO_DELAY_3           1021
#define IDC_MACRO_DELAY_4           1022
#define IDC_MACRO_DELAY_5           1023
#define IDC_MACRO_DELAY_6           1024
#define IDC_MACRO_DELAY_7           1025
#define IDC_MACRO_DELAY_8           1026
#define IDC_MACRO_DELAY_9           1027

#define IDC_MACRO_HOLD_0            1029
#define IDC_MACRO_HOLD_1            1030
#define IDC_MACRO_HOLD_2            1031
#define IDC_MACRO_HOLD_3            1032
#define IDC_MACRO_HOLD_4            1033
#define IDC_MACRO_HOLD_5            1034
#define IDC_MACRO_HOLD_6            1035
#define IDC_MACRO_HOLD_7            1036
#define IDC_MACRO_HOLD_8            1037
#define IDC_MACRO_HOLD_9            1038

#define IDC_MACRO_COMMAND_0         1039
#define IDC_MACRO_COMMAND_1         1040
#define IDC_MACRO_COMMAND_2         1041
#define IDC_MACRO_COMMAND_3         1042
#define IDC_MACRO_COMMAND_4         1043
#define IDC_MACRO_COMMAND_5         1044
#define IDC_MACRO_COMMAND_6         1045
#define IDC_MACRO_COMMAND_7         1046
#define IDC_MACRO_COMMAND_8         1047
#define IDC_MACRO_COMMAND_9         1048

// ---- Device code page (IDD_PAGE_DEVICE_CODE) -------------------------------
#define IDC_DEVCODE_EDIT            1001
#define IDC_DEVCODE_PRESET          1016
#define IDC_DEVCODE_LABEL           1056

// ---- Key mapping page (IDD_PAGE_KEY_MAPPING) -------------------------------
#define IDC_KEYMAP_OK               1002
#define IDC_KEYMAP_DEFAULT          1003
#define IDC_KEYMAP_CANCEL           1004
#define IDC_KEYMAP_IR_LIST          1066
#define IDC_KEYMAP_PS3_LIST         1067
#define IDC_KEYMAP_GROUP            1068
#define IDC_KEYMAP_IR_LABEL         1069
#define IDC_KEYMAP_PS3_LABEL        1070

// ---- IR transmit/receive page (IDD_PAGE_IR) --------------------------------
#define IDC_IR_LAST_RECEIVED        1001
#define IDC_IR_TRANSMIT             1002
// Never shown: their ids are the commands the held Transmit button sends.
#define IDC_IR_TRANSMIT_START       1003
#define IDC_IR_TRANSMIT_STOP        1004
#define IDC_IR_COMMAND              1016
#define IDC_IR_LAST_RECEIVED_LABEL  1056
#define IDC_IR_TRANSMIT_GROUP       1072
#define IDC_IR_RECEIVE_GROUP        1073

// ---- Module page (IDD_PAGE_MODULE) -----------------------------------------
#define IDC_MODULE_SELECT           1003
#define IDC_MODULE_PROGRESS         1004
#define IDC_MODULE_UPDATE           1005
#define IDC_MODULE_STATUS           1007
#define IDC_MODULE_FILE             1008
#define IDC_MODULE_PERCENT          1009
#define IDC_MODULE_RESTORE          1010
#define IDC_MODULE_ERASE            1011
// Present in the template, never shown.
#define IDC_MODULE_CLOSE            1006
#define IDC_MODULE_REMOVE           1012
#define IDC_MODULE_SPARE_A          1000
#define IDC_MODULE_SPARE_B          1001

// ---- Language dialog (IDD_LANGUAGE) ----------------------------------------
#define IDC_LANGUAGE_OK             1
#define IDC_LANGUAGE_ENGLISH        1053
#define IDC_LANGUAGE_DANISH         1054
#define IDC_LANGUAGE_GERMAN         1055
#define IDC_LANGUAGE_FRENCH         1056
#define IDC_LANGUAGE_DUTCH          1057
#define IDC_LANGUAGE_ICELANDIC      1058
#define IDC_LANGUAGE_SPANISH        1059
#define IDC_LANGUAGE_ITALIAN        1060
#define IDC_LANGUAGE_GROUP          1080
// Flag pictures, one left of each radio button.
#define IDC_LANGUAGE_FLAG_ENGLISH   1081
#define IDC_LANGUAGE_FLAG_DANISH    1082
#define IDC_LANGUAGE_FLAG_GERMAN    1083
#define IDC_LANGUAGE_FLAG_FRENCH    1084
#define IDC_LANGUAGE_FLAG_DUTCH     1085
#define IDC_LANGUAGE_FLAG_ICELANDIC 1086
#define IDC_LANGUAGE_FLAG_SPANISH   1087
#define IDC_LANGUAGE_FLAG_ITALIAN   1088

// ---- About dialog (IDD_ABOUT) ----------------------------------------------
#define IDC_ABOUT_CLOSE             2
#define IDC_ABOUT_ICON              1048
#define IDC_ABOUT_COPYRIGHT         1049
#define IDC_ABOUT_PRODUCT           1050
#define IDC_ABOUT_NOTICE            1051
#define IDC_ABOUT_GROUP             1061

// ---- Pairing dialog (IDD_PAIRING) ------------------------------------------
#define IDC_PAIR_START              1
#define IDC_PAIR_CLOSE              2
#define IDC_PAIR_PROGRESS           1004
#define IDC_PAIR_INTRO              1062
#define IDC_PAIR_STEP1              1063
#define IDC_PAIR_STEP2              1064
#define IDC_PAIR_STEP3              1065

#ifndef RC_INVOKED
// The page code addresses the macro rows as FIRST + r.
static_assert(IDC_MACRO_DELAY_9 == IDC_MACRO_DELAY_FIRST + IDC_MACRO_ROW_COUNT - 1);
static_assert(IDC_MACRO_HOLD_9 == IDC_MACRO_HOLD_FIRST + IDC_MACRO_ROW_COUNT - 1);
static_assert(IDC_MACRO_COMMAND_9 == IDC_MACRO_COMMAND_FIRST + IDC_MACRO_ROW_COUNT - 1);
static_assert(IDC_MACRO_DELAY_FIRST + IDC_MACRO_ROW_COUNT <= IDC_MACRO_HOLD_FIRST);
static_assert(IDC_MACRO_HOLD_FIRST + IDC_MACRO_ROW_COUNT <= IDC_MACRO_COMMAND_FIRST);
#endif

#endif  // ZELO_TOOL_RESOURCE_H
