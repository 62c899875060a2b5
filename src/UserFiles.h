// The user's side of the file system, as the editor's scene files need it:
// where a user's own data lives, folders made on demand, and a finished
// file put in place of an old one. One implementation per platform.
#pragma once

#include <string>

namespace UserFiles {

// Where programs keep a user's own files: on Linux $XDG_DATA_HOME when it is
// an absolute path, else ~/.local/share; on Windows the user's Documents
// folder. Empty when it cannot be found.
std::string DataFolder();

// Creates the folder and every missing folder above it; true when it
// exists afterwards.
bool MakeFolders(const std::string& folder);

// Moves the file temporary onto path, replacing what is there, so that a
// reader sees either the old file or the new one, never half of one. (Not
// "ReplaceFile": windows.h makes that name a macro.)
bool PutFileInPlace(const std::string& temporary, const std::string& path);

// Whether something (a file, a folder) has that path.
bool Exists(const std::string& path);

// Removes a file; nothing when there is none.
void RemoveFile(const std::string& path);

}  // namespace UserFiles
