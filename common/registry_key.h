#ifndef QUORVANE_COMMON_REGISTRY_KEY_H
#define QUORVANE_COMMON_REGISTRY_KEY_H

#include <windows.h>

// Opens subKey below root, creating it when missing; NULL on failure. The caller
// owns the key and releases it with CloseKey.
HKEY OpenOrCreateKey(HKEY root, const char* subKey, REGSAM access);
HKEY OpenOrCreateMachineKey(const char* subKey, REGSAM access);

// Closes a key from the openers above; a NULL key is ignored.
void CloseKey(HKEY key);

// Stores text as REG_SZ, terminator included; returns the registry's status.
LONG SetStringValue(HKEY key, const char* name, const char* text);

#endif
