// Control and menu identifiers, one block per window. The grid's rows are contiguous
// ranges indexed by row number (see grid/rows.h), dispatched by a range test.
// Plain macros so that resource scripts and the end-to-end driver can include this too.
#pragma once

#include "core/version.h"

// Window titles (the end-to-end driver finds windows by these).
#define HZWK_TITLE_MAIN "Hertzwerk v" HZWK_VERSION_TEXT
#define HZWK_TITLE_TVOUT "TV-Out Resolutions"
#define HZWK_TITLE_ABOUT "About Hertzwerk " HZWK_VERSION_TEXT
#define HZWK_TITLE_D3D "Hertzwerk VSync Tester"
#define HZWK_TITLE_BOX "Hertzwerk"

// frmMain
#define IDC_LBL_ADAPTERS 1001
#define IDC_LBL_OS 1002
#define IDC_LBL_DETVERSION 1003
#define IDC_LABEL50 1004
#define IDC_LABEL1 1005   /* "Device:" */
#define IDC_LABEL4 1006   /* "OS:" */
#define IDC_LABEL5 1007   /* "Detonators:" */
#define IDC_HEADERS 1020  /* 1020..1023: the two "Resolution" and "Hz" header pairs */
#define IDC_CMD_APPLY 1010
#define IDC_CMD_RESET 1011
#define IDC_CHECK1 1012
#define IDC_TEXT1 1013
#define IDC_UPDOWN24 1014
#define IDC_CMD_CALC 1015
#define IDC_CMD_CALCDEF 1016
#define IDC_LABEL57 1017
#define IDC_LINE1 1018
#define IDC_ROW_CAPTION 1100     /* + row: Label25..Label44, Label54..Label56 */
#define IDC_ROW_STEPPER 1200     /* + row: UpDown1..UpDown23 */
#define IDC_ROW_RESOLUTION 1300  /* + row: the resolution labels */

#define IDM_EXIT 2001
#define IDM_LOAD 2002
#define IDM_TVORES 2003
#define IDM_D3DTEST 2004
#define IDM_TOPICS 2005
#define IDM_ABOUT 2006

// frmTVORes
#define IDC_TV_LABEL3 3000
#define IDC_TXT_W1 3001
#define IDC_TXT_H1 3002
#define IDC_TXT_W2 3003
#define IDC_TXT_H2 3004
#define IDC_TV_CLEAR1 3005   /* Command1 */
#define IDC_TV_CLEAR2 3006   /* Command2 */
#define IDC_TV_DEFAULTS 3007 /* Command3 */
#define IDC_TV_OK 3008       /* cmdDone */
#define IDC_TV_X1 3009
#define IDC_TV_X2 3010

// frmAbout
#define IDC_ABOUT_HEADING 4001  /* Label1 */
#define IDC_ABOUT_LINE 4002     /* + 0..4: Label2..Label6 */
#define IDC_ABOUT_CLOSE 4011    /* Command1 */
#define IDC_ABOUT_PAGE 4012     /* + 0..3: Command2..Command5 (Contact, Links, Credits, Donate) */
#define IDC_ABOUT_RULE 4020     /* Line1 */

// frmD3D
#define IDC_D3D_LABEL1 5000
#define IDC_CMB_RES 5001
#define IDC_CMB_BITRATES 5002
#define IDC_CMD_GO 5003
#define IDC_CMD_CANCEL 5004
#define IDC_OPT_ON 5005
#define IDC_OPT_OFF 5006

// Message-box static text, as Windows numbers it.
#define IDC_MSGBOX_TEXT 0xFFFF
