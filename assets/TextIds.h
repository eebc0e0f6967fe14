// The identifiers of the program's texts, one string table per language in
// TikoTexts.rc. Plain macros, since the resource compiler reads this file
// too. The identifiers run without a gap from FirstTextId to LastTextId.
#pragma once

#define FirstTextId 1000

// The clock's menu.
#define IDS_MENU_SETTINGS 1000
#define IDS_MENU_NEW_CLOCK 1001
#define IDS_MENU_KEEP_ON_TOP 1002
#define IDS_MENU_CLICK_THROUGH 1003
#define IDS_MENU_SHOW_TRAY_ICON 1004
#define IDS_MENU_HIDE_FOR_FULL_SCREEN 1005
#define IDS_MENU_HIDE_CLOCK 1006
#define IDS_MENU_SHOW_CLOCK 1007
#define IDS_MENU_EXIT 1008

// Message boxes.
#define IDS_PROGRAM_NAME 1009
#define IDS_SAVE_FAILED_TITLE 1010
#define IDS_SAVE_FAILED_FILE 1011
#define IDS_SAVE_FAILED_REASON 1012
#define IDS_SAVE_FAILED_CHOICE 1013
#define IDS_GRAPHICS_MISSING 1014
#define IDS_RUN_VALUE_TITLE 1015
#define IDS_RUN_VALUE_OFFER 1016

// The clock: its name (window text and tray tip), a printf format of hour,
// minute, year, month and day; the mark of a zone the machine does not know.
#define IDS_CLOCK_NAME_FORMAT 1017
#define IDS_UNKNOWN_ZONE_MARK 1018

// The settings window.
#define IDS_SETTINGS_TITLE 1019
#define IDS_SECTION_LIST_TITLE 1020
#define IDS_SECTION_BASIC 1021
#define IDS_SECTION_OPACITY 1022
#define IDS_SECTION_COLOURS 1023
#define IDS_SECTION_CLOCK 1024
#define IDS_SECTION_TIME_FORMAT 1025
#define IDS_HEADER_BASIC 1026
#define IDS_HEADER_OPACITY 1027
#define IDS_HEADER_COLOURS 1028
#define IDS_HEADER_CLOCK 1029
#define IDS_HEADER_TIME_FORMAT 1030
#define IDS_RESTORE_DEFAULTS 1031
#define IDS_START_WITH_WINDOWS 1032
#define IDS_KEEP_ON_TOP 1033
#define IDS_LAYERED_TRANSPARENCY 1034
#define IDS_MEMORY_OPTIMIZATION 1035
#define IDS_RESTORE_LAST_POSITION 1036
#define IDS_SHOW_SECONDS 1037
#define IDS_HIDE_FOR_FULL_SCREEN 1038
#define IDS_OPACITY_WINDOW 1039
#define IDS_OPACITY_WINDOW_BACKGROUND 1040
#define IDS_OPACITY_CLOCK_BACKGROUND 1041
#define IDS_OPACITY_CLOCK 1042
#define IDS_OUTER_BORDER 1043
#define IDS_INNER_BORDER 1044
#define IDS_WINDOW_BACKGROUND 1045
#define IDS_CLOCK_BACKGROUND 1046
#define IDS_FONT_COLOUR 1047
#define IDS_FONT_SIZE 1048
#define IDS_OUTLINE_COLOUR 1049
#define IDS_OUTLINE_WIDTH 1050
#define IDS_FONT_NAME 1051
#define IDS_SHOW_DATE 1052
#define IDS_TWELVE_HOUR 1053
#define IDS_DATE_FORM 1054
#define IDS_LONG_DATE 1055
#define IDS_SHORT_DATE 1056
#define IDS_TIME_ZONE 1057
#define IDS_ZONE_LABEL 1058
#define IDS_LOCAL_TIME 1059
#define IDS_LANGUAGE 1060
#define IDS_LANGUAGE_AUTOMATIC 1061

// The hover buttons' tooltips.
#define IDS_TIP_CLOSE 1062
#define IDS_TIP_KEEP_ON_TOP 1063
#define IDS_TIP_SETTINGS 1064
#define IDS_TIP_LARGER_FONT 1065
#define IDS_TIP_SMALLER_FONT 1066

// The settings file could not be read at the start.
#define IDS_READ_FAILED_TITLE 1067
#define IDS_READ_FAILED_FILE 1068
#define IDS_READ_FAILED_CHOICE 1069

// A text box's word on the characters it left out.
#define IDS_NOT_GBK_TITLE 1070
#define IDS_NOT_GBK_TEXT 1071

#define LastTextId 1071
