/* Resource identifiers of the module, shared by the resource script and the Win32 code. */
#ifndef HC_RESOURCE_IDS_H
#define HC_RESOURCE_IDS_H

#define IDD_ABOUT 100
#define IDC_ABOUT_TEXT 101

#endif
