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

std::string FileNameOf(const std::string& path, bool lowerCase) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    std::string name = path.substr(slash + 1);
    return lowerCase ? LowerCaseAccented(name) : name;
}

bool DeleteFile(const std::string& path, bool /*clearHidden*/, bool clearReadOnly,
                bool /*clearSystem*/) {
    if (!FileExists(path)) return false;
    if (clearReadOnly) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) == 0)
            ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
    }
    // Unlinking needs write permission on the folder, not on the file; the
    // read-only flag still protects the file unless the caller clears it.
    struct stat st {};
    if (!clearReadOnly && ::stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) == 0)
        return false;
    return std::remove(path.c_str()) == 0;
}

long long FileLength(const std::string& path) {
    if (path.empty()) return -1;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<long long>(st.st_size);
}

}  // namespace zelk
