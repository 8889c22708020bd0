// Identifiers shared by the window's code and its resource script. Macros, because
// the resource compiler reads this file too.
#pragma once

// Root window.
#define IDI_TEMBREL 1
#define IDS_TEMBREL 10002
#define ID_AUTOBOOT_TIMER 2
#define ID_COMMANDBAR 3
#define ID_PROGRESS 4
#define ID_BOOT 5
#define ID_CANCEL 6
#define ID_TABCONTROL 7

// Main page.
#define IDC_DIRECTORY 1001
#define IDC_PLATFORM 1002
#define IDC_KERNEL_NAME 1003
#define IDC_ROOT_GROUP 100
#define IDC_ROOT_WD 101
#define IDC_ROOT_SD 102
#define IDC_ROOT_MD 103
#define IDC_ROOT_NFS 104
#define IDC_ROOT_IMAGE 105
#define IDC_ASK_NAME 150
#define IDC_SINGLE_USER 151
#define IDC_VERBOSE 152
#define IDC_SERIAL_CONSOLE 153
#define IDC_SERIAL_SPEED 154
#define IDC_KERNEL_DEBUGGER 155

// Option page.
#define IDC_AUTO_BOOT 200
#define IDC_REVERSE_VIDEO 201
#define IDC_PAUSE_BEFORE_BOOT 202
#define IDC_LOAD_DEBUG_INFO 203
#define IDC_SAFETY_MESSAGE 205
#define IDC_EXTRA_OPTIONS 206
#define IDC_AUTO_BOOT_SECONDS 2000
#define IDC_AUTO_BOOT_UPDOWN 2001

// Console page.
#define IDC_DEBUG_FLAG0 300
#define IDC_DEBUG_FLAG7 307
#define IDC_DEBUG_HOOK0 310
#define IDC_DEBUG_HOOK3 313
#define IDC_CONSOLE_TEXT 320
#define IDC_SAVE_TO_FILE 321
#define IDC_LOG_NAME 322
