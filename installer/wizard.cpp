#include "wizard.h"

#include "file_io.h"
#include "installation.h"
#include "installer.h"
#include "resource.h"
#include "resource_file.h"
#include "text.h"

char LicenceText[LICENCE_TEXT_CAP + 1];

static HBRUSH WelcomeBrush;
static HBRUSH LicenceBrush;

static const COLORREF White = RGB(255, 255, 255);

INT_PTR ShowWelcomeDialog()
{
    return DialogBoxParamA(InstanceHandle, MAKEINTRESOURCEA(IDD_WELCOME), NULL,
                           WelcomeDialogProc, 0);
}

INT_PTR ShowLicenceDialog()
{
    return DialogBoxParamA(InstanceHandle, MAKEINTRESOURCEA(IDD_LICENCE), NULL,
                           LicenceDialogProc, 0);
}

static int IsPaintedWhite(UINT message)
{
    return message == WM_CTLCOLORBTN || message == WM_CTLCOLORDLG ||
           message == WM_CTLCOLORSTATIC;
}

INT_PTR CALLBACK WelcomeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        WelcomeBrush = CreateSolidBrush(White);
        return FALSE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == 0) {
        DeleteObject(WelcomeBrush);
        WelcomeBrush = NULL;
        EndDialog(dialog, LOWORD(wParam));
        return 0;
    }
    if (IsPaintedWhite(message))
        return (INT_PTR)WelcomeBrush;
    return 0;
}

INT_PTR CALLBACK LicenceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        LicenceBrush = CreateSolidBrush(White);
        LoadLicenceText("licence.txt");
        SetDlgItemTextA(dialog, IDC_LICENCE_TEXT, LicenceText);
        return TRUE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == 0) {
        if (LOWORD(wParam) == IDOK && RunInstallation(dialog))
            LaunchServer();
        DeleteObject(LicenceBrush);
        LicenceBrush = NULL;
        EndDialog(dialog, LOWORD(wParam));
        return 0;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == EN_SETFOCUS) {
        // The dialog selects the whole text when the box takes the focus; a
        // licence shown all highlighted reads badly, so drop the selection.
        SendDlgItemMessageA(dialog, IDC_LICENCE_TEXT, EM_SETSEL, (WPARAM)-1, (LPARAM)-1);
        return 0;
    }
    if (IsPaintedWhite(message))
        return (INT_PTR)LicenceBrush;
    return 0;
}

static DWORD CopyLicenceResource()
{
    DWORD size = 0;
    const char* text = (const char*)LoadResourceBytes(IDR_LICENCE_TEXT, RESOURCE_TYPE_TEXT, &size);
    if (!text)
        return 0;
    if (size > LICENCE_TEXT_CAP)
        size = LICENCE_TEXT_CAP;
    CopyMemory(LicenceText, text, size);
    return size;
}

int LoadLicenceText(const char* fileName)
{
    char path[MAX_PATH];
    DWORD length = 0;
    if (InstallerFolder[0] && JoinText(path, sizeof path, InstallerFolder, fileName))
        length = ReadWholeFile(path, LicenceText, LICENCE_TEXT_CAP);
    // Agreeing to an empty box is agreeing to nothing: when the file cannot be
    // read, the page shows the licence this installer carries.
    if (length == 0)
        length = CopyLicenceResource();
    LicenceText[length] = '\0';
    return (int)length;
}

void RunWizard()
{
    // A page that cannot be created (-1) ends the wizard: treating it as Next or
    // Back would bounce between two pages that never appear, for ever.
    for (;;) {
        INT_PTR welcome = ShowWelcomeDialog();
        if (welcome == IDCANCEL || welcome == -1)
            return;
        INT_PTR licence = ShowLicenceDialog();
        if (licence == IDOK || licence == IDCANCEL || licence == -1)
            return;
    }
}
