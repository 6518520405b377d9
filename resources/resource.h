// Identifiers of the program's resources and controls (shared by the resource
// script and the code, so only plain definitions).
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_WAVOSS_DIALOG 102
#define IDD_FILE_DIALOG 103
#define IDD_PLAN_DIALOG 104
#define IDD_PREVIEW_DIALOG 105
#define IDR_MAINFRAME 128
#define IDI_FILE 130
#define IDI_FOLDER 131

// Main dialog
#define IDC_SOURCE_LIST 1000
#define IDC_ADD 1001
#define IDC_OUTPUT_FOLDER_EDIT 1002
#define IDC_OUTPUT_FOLDER 1003
#define IDC_REMOVE 1004
#define IDC_REMOVE_ALL 1005
#define IDC_PROGRESS 1006
#define IDC_TOTAL_SIZE 1007
#define IDC_ABORT 1008
#define IDC_EXECUTE 1009
#define IDC_SECTION_LENGTH 1010
#define IDC_OUTPUT_FOLDER_LABEL 1013
#define IDC_SECTION_LENGTH_LABEL 1014
#define IDC_PLAN_METHOD 1021
#define IDC_PREVIEW 1022
#define IDC_PLAN_SUMMARY 1023

// Picker
#define IDC_FILE_LIST 1016
#define IDC_DRIVE_LIST 1017
#define IDC_CURRENT_FOLDER 1018
#define IDC_UP 1019
#define IDC_SELECT_ALL 1020

// The way of cutting ("分割方法"); the four rule buttons are consecutive
#define IDC_PLAN_LENGTH 1100
#define IDC_PLAN_PARTS 1101
#define IDC_PLAN_MAX_SIZE 1102
#define IDC_PLAN_WHOLE 1103
#define IDC_PLAN_LENGTH_EDIT 1104
#define IDC_PLAN_PARTS_EDIT 1105
#define IDC_PLAN_MAX_SIZE_EDIT 1106
#define IDC_PLAN_MARKERS 1107
#define IDC_PLAN_PAUSE 1108
#define IDC_PLAN_PAUSE_WINDOW 1109
#define IDC_PLAN_PAUSE_MIN 1110
#define IDC_PLAN_PAUSE_LEVEL 1111
#define IDC_PLAN_NAME 1112
#define IDC_PLAN_DEFAULTS 1113
#define IDC_PLAN_EVERY_PAUSE 1130
#define IDC_PLAN_EVERY_MIN 1131
#define IDC_PLAN_EVERY_LEVEL 1132
#define IDC_PLAN_AUTO_LEVEL 1133
#define IDC_PLAN_MIN_PIECE 1134
#define IDC_PLAN_TRIM 1135
// The three channel buttons are consecutive
#define IDC_PLAN_CH_TOGETHER 1136
#define IDC_PLAN_CH_EACH 1137
#define IDC_PLAN_CH_GROUPS 1138
#define IDC_PLAN_CH_EDIT 1139
#define IDC_PLAN_SHARE 1140
// The three cut list buttons are consecutive
#define IDC_PLAN_CUTS_NONE 1141
#define IDC_PLAN_CUTS_FILE 1142
#define IDC_PLAN_CUTS_BESIDE 1143
#define IDC_PLAN_CUTS_EDIT 1144
#define IDC_PLAN_CUTS_BROWSE 1145

// Plan preview ("プレビュー")
#define IDC_PREVIEW_LIST 1120
#define IDC_PREVIEW_STATUS 1121
#define IDC_PREVIEW_ABORT 1122
#define IDC_PREVIEW_SAVE 1123

// The system menu's about entry
#define IDM_ABOUTBOX 0x0010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
