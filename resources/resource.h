// Resource and command identifiers, shared by the resource script and the code.
#pragma once

#define IDI_MAIN 256
#define IDB_TOOLBAR 257
#define IDR_MAINMENU 512
#define IDR_ACCEL 768
#define IDD_ABOUT 1024
#define IDD_OPTIONS 1280

#define IDC_TOOLBAR 300

#define IDM_SEND 513
#define IDM_CLEARINPUT 514
#define IDM_CLEAROUTPUT 515
#define IDM_CONNECT 516
#define IDM_DISCONNECT 517
#define IDM_EXIT 518
#define IDM_SENDFILE 519
#define IDM_SAVELOG 520
#define IDM_OPTIONS 521
#define IDM_ABOUT 522
