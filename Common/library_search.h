// Where this library looks for the modules and programs it loads or starts
// by name: never the current directory or PATH, where anyone who can write
// a file could plant one that then runs inside the caller's process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace bv {

// Loads fileName (a bare file name) from the first of these folders that
// holds it: the application's own folder, the folder the application chose
// with SetDllDirectory, this library's own folder, then the system folder.
// Null when none does.
HMODULE loadLibraryFromKnownFolders(const wchar_t* fileName);

// Loads a library that only the system folder may supply.
HMODULE loadSystemLibrary(const wchar_t* fileName);

// The full path of a program in the system folder or, failing that, the
// Windows folder; empty when neither holds it.
std::wstring systemProgramPath(const wchar_t* fileName);

// The full path of a program in the Windows folder (the system's own, not
// a user's); empty when it does not hold it.
std::wstring windowsProgramPath(const wchar_t* fileName);

// The full path of fileName in the folder of module; empty when the
// module's own path cannot be read.
std::wstring pathBesideModule(HMODULE module, const wchar_t* fileName);

// Whether path names a file (not a folder).
bool isFile(const std::wstring& path);

// Joins each folder with fileName, skipping empty folders and repeated
// ones (compared without case), in the order given.
std::vector<std::wstring> candidatePaths(const std::vector<std::wstring>& folders, const wchar_t* fileName);

}  // namespace bv
