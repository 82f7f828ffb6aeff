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

// The main screen; the other screens' templates take the numbers after it.
#define IDD_MAIN 107

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
