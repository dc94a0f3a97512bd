#include "common/FileProc.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "common/StrProc.h"

namespace zelk {

bool FileExists(const std::string& path) {
    if (path.empty()) return false;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    return S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& path) {
    std::string p = Trim(path);
    if (p.empty()) return false;
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0) return false;
    return S_ISDIR(st.st_mode);
}

std::string FileExtension(const std::string& path, bool lowerCase) {
    size_t slash = path.rfind('/');
    size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart) return {};
    std::string ext = path.substr(dot + 1);
    return lowerCase ? LowerCaseAccented(ext) : ext;
}

long long FileLength(const std::string& path) {
    if (path.empty()) return -1;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<long long>(st.st_size);
}

}  // namespace zelk
