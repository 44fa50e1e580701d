#ifndef QUORVANE_INSTALLER_RESOURCE_H
#define QUORVANE_INSTALLER_RESOURCE_H

#define IDD_WELCOME 128
#define IDR_SERVER_PROGRAM 129
#define IDR_UNINSTALLER 130
#define IDD_LICENCE 131
#define IDR_LICENCE_TEXT 132
#define IDB_WELCOME 133
#define IDR_MOVIE 136

// The system's control classes by ordinal, as dialog templates name them.
#define CLASS_BUTTON 0x0080
#define CLASS_EDIT 0x0081
#define CLASS_STATIC 0x0082

#define IDC_BACK 1001
#define IDC_LICENCE_TEXT 1002

// Custom resource types; the resource script spells them out as bare names.
#ifndef RC_INVOKED
#define RESOURCE_TYPE_PROGRAM "APPL"
#define RESOURCE_TYPE_MOVIE "MPEG"
#define RESOURCE_TYPE_TEXT "TEXT"
#endif

#endif
