// File-system helpers shared by the analysis, the insertion and the batch run.
// Paths are byte strings as the user typed them; "/" separates folders.
#pragma once

#include <string>

namespace zelk {

// False for an empty path and for anything that is not a regular file
// (a folder given as a file name must not look like a document).
bool FileExists(const std::string& path);
// The path, trimmed of blanks, names an existing folder.
bool FolderExists(const std::string& path);
// Text after the last "." of the part after the last "/"; "" when there is none.
// lowerCase folds it with LowerCaseAccented.
std::string FileExtension(const std::string& path, bool lowerCase);
// Size in bytes, -1 when the path is not a readable regular file.
long long FileLength(const std::string& path);

}  // namespace zelk
