// A serial library that lacks its base table: a BVCLL.DLL that loads but
// exports no g_bvlBaseAPI, for testing how the library copes with it.
#include <windows.h>

extern "C" __declspec(dllexport) const DWORD g_bvlFactryAPI[7] = {};
