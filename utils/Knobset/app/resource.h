// Identifiers of Knobset's resources and dialog controls, shared by the
// resource script and the code.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDR_MAINFRAME 128
#define IDD_ABOUTBOX 100
#define IDD_KNOBSET_DIALOG 102
#define IDM_ABOUTBOX 0x0010

// Files and the tree.
#define IDC_OPEN_FILE 1000
#define IDC_NEW_FILE 1001
#define IDC_TREE 1002
#define IDC_SAVE_AS 1003
#define IDC_SAVE 1004
#define IDC_STATUS 1052

// Structure commands (buttons, and the tree's pop-up menu).
#define IDC_ADD_TWEAK 1048
#define IDC_DELETE_TWEAK 1049
#define IDC_ADD_ITEM 1050
#define IDC_DELETE_ITEM 1051
#define IDC_ADD_CATEGORY 1060
#define IDC_DELETE_CATEGORY 1061

// Category.
#define IDC_CATEGORY_ICON 1005
#define IDC_CATEGORY_NAME 1007
#define IDC_GROUP_CATEGORY 1070

// Tweak.
#define IDC_TWEAK_XML 1006
#define IDC_TWEAK_NAME 1008
#define IDC_TWEAK_DESCRIPTION 1009
#define IDC_TWEAK_DETAILS 1010
#define IDC_TWEAK_VERSION 1012
#define IDC_TWEAK_MANAGEABLE 1013
#define IDC_TWEAK_MAXVERSION 1033
#define IDC_GROUP_TWEAK 1071

// Item.
#define IDC_ITEM_TYPE 1014
#define IDC_KEY_PARENT 1015
#define IDC_KEY_PATH 1016
#define IDC_KEY_ACTION 1017
#define IDC_KEY_EDITABLE 1018
#define IDC_KEY_KEYNAME 1019
#define IDC_KEY_VALUENAME 1020
#define IDC_KEY_VALUETYPE 1021
#define IDC_KEY_VALUEVAL 1022
#define IDC_KEY_BYTELEN 1023
#define IDC_KEY_VALUEDESCR 1024
#define IDC_GROUP_ITEM 1072

// Key Values Set.
#define IDC_CHOICES 1025
#define IDC_CHOICE_ADD 1026
#define IDC_CHOICE_DELETE 1027
#define IDC_CHOICE_BYTELEN 1028
#define IDC_CHOICE_DESCR 1029
#define IDC_CHOICE_VAL 1030
#define IDC_CHOICE_MAIN 1031
#define IDC_CHOICE_ACTION 1032
#define IDC_GROUP_CHOICES 1073

#define IDC_ABOUT_TEXT 1080
