#include "common/FileSystem.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelk {

bool PosixFileSystem::Stat(const std::string& path, FileStatus& out) {
    out = FileStatus{};
    struct stat ls {};
    if (::lstat(path.c_str(), &ls) != 0) return errno == ENOENT || errno == ENOTDIR;
    out.isSymlink = S_ISLNK(ls.st_mode);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        // A dangling link: the name exists, the document does not.
        return true;
    }
    out.exists = true;
    out.regular = S_ISREG(st.st_mode);
    out.mode = static_cast<uint32_t>(st.st_mode & 07777);
    out.uid = static_cast<uint32_t>(st.st_uid);
    out.gid = static_cast<uint32_t>(st.st_gid);
    return true;
}

std::string PosixFileSystem::ResolvePath(const std::string& path) {
    char* r = ::realpath(path.c_str(), nullptr);
    if (!r) return {};
    std::string s(r);
    std::free(r);
    return s;
}

FileSystem::Handle PosixFileSystem::OpenRead(const std::string& path) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

long long PosixFileSystem::Read(Handle h, char* buf, std::size_t size) {
    for (;;) {
        ssize_t n = ::read(h, buf, size);
        if (n >= 0) return static_cast<long long>(n);
        if (errno != EINTR) return -1;
    }
}

FileSystem::Handle PosixFileSystem::OpenWrite(const std::string& path, uint32_t mode) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW,
                    static_cast<mode_t>(mode & 0777));
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool PosixFileSystem::Write(Handle h, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(h, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool PosixFileSystem::SetMode(Handle h, uint32_t mode, uint32_t uid, uint32_t gid) {
    // Giving the file to the document's owner only works with the right
    // privileges; the permission bits are what matters, so that failure is
    // not an error. The mode is set after the owner because fchown clears
    // the set-id bits.
    if (::fchown(h, static_cast<uid_t>(uid), static_cast<gid_t>(gid)) != 0) {
        // keep the caller's ownership
    }
    return ::fchmod(h, static_cast<mode_t>(mode & 07777)) == 0;
}

bool PosixFileSystem::Sync(Handle h) { return ::fsync(h) == 0; }

bool PosixFileSystem::Close(Handle h) { return ::close(h) == 0; }

bool PosixFileSystem::Rename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool PosixFileSystem::Remove(const std::string& path) { return ::unlink(path.c_str()) == 0; }

void PosixFileSystem::SyncFolder(const std::string& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

FileSystem& RealFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

// --- fault injection ---

bool FaultyFileSystem::Hit(Step s) {
    if (s != step_ || fired_) return false;
    if (++seen_ < nth_) return false;
    fired_ = true;
    return true;
}

bool FaultyFileSystem::Stat(const std::string& path, FileStatus& out) {
    if (Hit(Step::Stat)) return false;
    return inner_.Stat(path, out);
}

FileSystem::Handle FaultyFileSystem::OpenRead(const std::string& path) {
    if (Hit(Step::OpenRead)) return -1;
    return inner_.OpenRead(path);
}

long long FaultyFileSystem::Read(Handle h, char* buf, std::size_t size) {
    if (Hit(Step::Read)) return -1;
    return inner_.Read(h, buf, size);
}

FileSystem::Handle FaultyFileSystem::OpenWrite(const std::string& path, uint32_t mode) {
    if (Hit(Step::OpenWrite)) return -1;
    return inner_.OpenWrite(path, mode);
}

bool FaultyFileSystem::Write(Handle h, const char* data, std::size_t size) {
    if (Hit(Step::Write)) {
        // A disk that fills up mid-way leaves part of the data behind.
        if (size > 1) (void)inner_.Write(h, data, size / 2);
        return false;
    }
    return inner_.Write(h, data, size);
}

bool FaultyFileSystem::SetMode(Handle h, uint32_t mode, uint32_t uid, uint32_t gid) {
    if (Hit(Step::SetMode)) return false;
    return inner_.SetMode(h, mode, uid, gid);
}

bool FaultyFileSystem::Sync(Handle h) {
    if (Hit(Step::Sync)) return false;
    return inner_.Sync(h);
}

bool FaultyFileSystem::Close(Handle h) {
    if (Hit(Step::Close)) {
        // The descriptor is gone either way, as with a failing close(2).
        (void)inner_.Close(h);
        return false;
    }
    return inner_.Close(h);
}

bool FaultyFileSystem::Rename(const std::string& from, const std::string& to) {
    if (Hit(Step::Rename)) return false;
    return inner_.Rename(from, to);
}

}  // namespace zelk
