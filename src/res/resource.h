/* Resource identifiers of SETUP.EXE, shared by the resource script and the
   program. Plain #defines: the resource compiler reads this file too. */
#pragma once

#define IDR_MAINFRAME 128
#define IDD_ABOUTBOX 100
#define IDS_RESOURCE_FILE_NOT_FOUND 61204
#define IDC_ABOUT_VERSION 1000
#define IDC_ABOUT_LINE2 1001
