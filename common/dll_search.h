#ifndef QUORVANE_COMMON_DLL_SEARCH_H
#define QUORVANE_COMMON_DLL_SEARCH_H

// Keeps DLLs planted beside the program out of it. Called first thing at start,
// before anything else can load a DLL.
void HardenDllSearch();

#endif
