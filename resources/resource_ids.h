// Numbers of the program's resources and of the controls in its dialog
// templates. Plain #defines so that both the resource compiler and portable
// C++ read them; nothing here needs <windows.h>.
#pragma once

// The program's icon (tray and window): one group, 16x16 and 32x32.
#define IDI_APP 104

// One entry: Ctrl+Q sends WM_COMMAND IDM_CTRL_Q, which is the same number
// as IDC_ACTIVATE.
#define IDR_ACCELERATORS 3
#define IDM_CTRL_Q 1

// The screens' templates.
#define IDD_MAIN 107
#define IDD_MAIN_RULES 108   // number rules of the main reply
#define IDD_SECOND_REPLY 109 // the second reply
#define IDD_SECOND_RULES 110 // number rules of the second reply

#define IDC_ACTIVATE 1         // "ACTIVATE" push button
#define IDC_SET_RULES 3        // "Set number rules"
#define IDC_SECOND_REPLY 4     // "Activate Second Reply"
#define IDC_SELF_ACTIVATE 1002 // check box: activate after a reset
#define IDC_MESSAGE 1003       // the reply text, multi-line edit box
#define IDC_ON_CANCEL 1004     // check box: reply when the call is cancelled
#define IDC_RINGS_TEXT 1015    // "Send Reply after N rings"
#define IDC_RINGS_MORE 1017    // ">"
#define IDC_RINGS_LESS 1018    // "<"
#define IDC_QUIT 1023          // "Quit"
#define IDC_RULES_TEXT 1026    // who gets a reply
#define IDC_MESSAGE_LABEL 1027 // caption above IDC_MESSAGE
#define IDC_TITLE 1028         // the program's name
#define IDC_ABOUT 1029         // the about line

// Screen 109 shares 1003, 1004, 1015, 1026, 1027 and 3 with the main
// screen; its "Cancel" has the number of the main screen's "Quit".
#define IDC_CANCEL 1023

// The number rules screens. Their "Save and back" is number 1 and their
// title label 1027.
#define IDC_SAVE_AND_BACK 1
#define IDC_RULES_TITLE 1027
#define IDC_MODE_ANY 1005      // "Any numbers"
#define IDC_MODE_DOMESTIC 1006 // "Any domestic"
#define IDC_MODE_ONLY 1007     // "Only selected below"
#define IDC_MODE_EXCLUDE 1008  // "Any numbers  excl. selected below"
#define IDC_MODE_FOREIGN 1009  // "Only foreign"
#define IDC_NUMBERS 1010       // list view of the contacts' numbers
#define IDC_CATEGORIES 1021    // list view of the categories
