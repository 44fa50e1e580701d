#include "registry_key.h"

#include <string.h>

HKEY OpenOrCreateKey(HKEY root, const char* subKey, REGSAM access)
{
    HKEY key = NULL;
    if (RegCreateKeyExA(root, subKey, 0, NULL, REG_OPTION_NON_VOLATILE, access, NULL,
                        &key, NULL) != ERROR_SUCCESS)
        return NULL;
    return key;
}

HKEY OpenOrCreateMachineKey(const char* subKey, REGSAM access)
{
    return OpenOrCreateKey(HKEY_LOCAL_MACHINE, subKey, access);
}

void CloseKey(HKEY key)
{
    if (key)
        RegCloseKey(key);
}

LONG SetStringValue(HKEY key, const char* name, const char* text)
{
    return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, (DWORD)strlen(text) + 1);
}
