#include "common/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace zelk {

namespace {

thread_local int tLastError = 0;

// Records errno as the reason of a failed call and passes the result on.
template <typename T>
T Failed(T result) {
    FileSystem::SetLastError(errno);
    return result;
}

void Fill(const struct stat& st, FileStatus& out) {
    out.exists = true;
    out.regular = S_ISREG(st.st_mode);
    out.directory = S_ISDIR(st.st_mode);
    out.mode = static_cast<uint32_t>(st.st_mode & 07777);
    out.uid = static_cast<uint32_t>(st.st_uid);
    out.gid = static_cast<uint32_t>(st.st_gid);
    out.device = static_cast<uint64_t>(st.st_dev);
    out.inode = static_cast<uint64_t>(st.st_ino);
    out.links = static_cast<uint64_t>(st.st_nlink);
    out.size = static_cast<long long>(st.st_size);
    out.mtimeNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
}

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace

int FileSystem::LastError() { return tLastError; }
void FileSystem::SetLastError(int err) { tLastError = err; }

std::string ErrorText(int err) {
    if (err == 0) err = EIO;
    char buf[256];
    // The GNU strerror_r returns the text (maybe not in buf).
    return ::strerror_r(err, buf, sizeof buf);
}

bool PosixFileSystem::Stat(const std::string& path, FileStatus& out) {
    out = FileStatus{};
    struct stat ls {};
    if (::lstat(path.c_str(), &ls) != 0)
        return errno == ENOENT || errno == ENOTDIR ? true : Failed(false);
    out.isSymlink = S_ISLNK(ls.st_mode);
    if (!out.isSymlink) {
        Fill(ls, out);
        return true;
    }
    struct stat st {};
    // A dangling link: the name exists, the document does not.
    if (::stat(path.c_str(), &st) != 0) return true;
    Fill(st, out);
    return true;
}

std::string PosixFileSystem::ResolvePath(const std::string& path) {
    char* r = ::realpath(path.c_str(), nullptr);
    if (!r) return Failed(std::string());
    std::string s(r);
    std::free(r);
    return s;
}

FileSystem::Handle PosixFileSystem::OpenRead(const std::string& path) {
    int fd = OpenRetrying(path.c_str(), O_RDONLY | O_CLOEXEC);
    return fd < 0 ? Failed(fd) : fd;
}

long long PosixFileSystem::Read(Handle h, char* buf, std::size_t size) {
    for (;;) {
        ssize_t n = ::read(h, buf, size);
        if (n >= 0) return static_cast<long long>(n);
        if (errno != EINTR) return Failed(-1LL);
    }
}

bool PosixFileSystem::Write(Handle h, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(h, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return Failed(false);
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
    return ::fchmod(h, static_cast<mode_t>(mode & 07777)) == 0 || Failed(false);
}

bool PosixFileSystem::Sync(Handle h) { return ::fsync(h) == 0 || Failed(false); }

bool PosixFileSystem::Close(Handle h) { return ::close(h) == 0 || Failed(false); }

bool PosixFileSystem::Rename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 || Failed(false);
}

bool PosixFileSystem::Remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || Failed(false);
}

bool FileSystem::MakeFolder(const std::string& /*path*/, uint32_t /*mode*/) {
    SetLastError(ENOTSUP);
    return false;
}

bool PosixFileSystem::MakeFolder(const std::string& path, uint32_t mode) {
    return ::mkdir(path.c_str(), static_cast<mode_t>(mode)) == 0 || Failed(false);
}

void PosixFileSystem::SyncFolder(const std::string& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

FileSystem::Handle PosixFileSystem::OpenNoFollow(const std::string& path) {
    int fd = OpenRetrying(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    return fd < 0 ? Failed(fd) : fd;
}

bool PosixFileSystem::StatHandle(Handle h, FileStatus& out) {
    out = FileStatus{};
    struct stat st {};
    if (::fstat(h, &st) != 0) return Failed(false);
    Fill(st, out);
    return true;
}

bool PosixFileSystem::Lock(Handle h) {
    int r;
    do {
        r = ::flock(h, LOCK_EX | LOCK_NB);
    } while (r != 0 && errno == EINTR);
    return r == 0 || Failed(false);
}

FileSystem::Handle PosixFileSystem::CreateExclusive(const std::string& path, uint32_t mode) {
    int fd = OpenRetrying(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          static_cast<mode_t>(mode & 0777));
    return fd < 0 ? Failed(fd) : fd;
}

bool PosixFileSystem::ListAttributes(Handle h, std::vector<std::string>& names) {
    names.clear();
    for (;;) {
        ssize_t size = ::flistxattr(h, nullptr, 0);
        if (size < 0) return errno == ENOTSUP ? true : Failed(false);
        if (size == 0) return true;
        std::string buf(static_cast<std::size_t>(size), '\0');
        ssize_t got = ::flistxattr(h, buf.data(), buf.size());
        if (got < 0 && errno == ERANGE) continue;  // the list grew meanwhile
        if (got < 0) return Failed(false);
        for (std::size_t i = 0; i < static_cast<std::size_t>(got);) {
            std::size_t end = buf.find('\0', i);
            if (end == std::string::npos) end = static_cast<std::size_t>(got);
            if (end > i) names.emplace_back(buf, i, end - i);
            i = end + 1;
        }
        return true;
    }
}

bool PosixFileSystem::GetAttribute(Handle h, const std::string& name, std::string& value) {
    for (;;) {
        ssize_t size = ::fgetxattr(h, name.c_str(), nullptr, 0);
        if (size < 0) return Failed(false);
        value.assign(static_cast<std::size_t>(size), '\0');
        ssize_t got = ::fgetxattr(h, name.c_str(), value.data(), value.size());
        if (got < 0 && errno == ERANGE) continue;
        if (got < 0) return Failed(false);
        value.resize(static_cast<std::size_t>(got));
        return true;
    }
}

bool PosixFileSystem::SetAttribute(Handle h, const std::string& name, const std::string& value) {
    return ::fsetxattr(h, name.c_str(), value.data(), value.size(), 0) == 0 || Failed(false);
}

bool PosixFileSystem::CanWrite(const std::string& path) {
    return ::access(path.c_str(), W_OK) == 0 || Failed(false);
}

// --- Reading for the analysis ---

bool FileSystem::WriteAll(Handle h, std::string&& text, const std::string* /*replacing*/) {
    constexpr std::size_t kPiece = 1 << 16;
    for (std::size_t off = 0; off < text.size(); off += kPiece)
        if (!Write(h, text.data() + off, std::min(kPiece, text.size() - off))) return false;
    return true;
}

bool FileSystem::ReadFile(const std::string& path, std::string& out, std::size_t keep,
                          std::size_t maxBytes, int& err) {
    FileStatus st;
    return ReadFile(path, out, keep, maxBytes, err, st);
}

bool FileSystem::ReadFile(const std::string& path, std::string& out, std::size_t keep,
                          std::size_t maxBytes, int& err, FileStatus& st) {
    err = 0;
    st = FileStatus{};
    out.resize(std::min(keep, out.size()));
    SetLastError(0);
    const Handle h = OpenRead(path);
    auto fail = [&](int fallback) {
        err = LastError() != 0 ? LastError() : fallback;
        out.resize(keep);
        return false;
    };
    if (h < 0) return fail(ENOENT);
    if (!StatHandle(h, st) || st.directory) {
        if (st.directory) SetLastError(EISDIR);
        Close(h);
        return fail(EIO);
    }
    // The size the file has now, read in one go; a file that grows meanwhile
    // (or reports no size) is read on in small pieces up to its end.
    const std::size_t want =
        std::min<std::size_t>(st.size > 0 ? static_cast<std::size_t>(st.size) : 0, maxBytes);
    std::size_t got = 0;
    out.resize(keep + want);
    while (got < want) {
        const long long n = Read(h, out.data() + keep + got, want - got);
        if (n < 0) {
            Close(h);
            return fail(EIO);
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    out.resize(keep + got);
    const bool mayHaveMore = got == want;
    while (mayHaveMore && got < maxBytes) {
        char chunk[1 << 14];
        const long long n = Read(h, chunk, std::min(sizeof chunk, maxBytes - got));
        if (n < 0) {
            Close(h);
            return fail(EIO);
        }
        if (n == 0) break;
        out.append(chunk, static_cast<std::size_t>(n));
        got += static_cast<std::size_t>(n);
    }
    out.resize(keep + got);
    Close(h);
    return true;
}

// --- folder listing and file identity ---

namespace {
EntryKind KindOf(const struct stat& st) {
    if (S_ISREG(st.st_mode)) return EntryKind::File;
    if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
    return EntryKind::Other;
}
}  // namespace

bool PosixFileSystem::Identify(const std::string& path, FileIdentity& out) {
    out = FileIdentity{};
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR || errno == ELOOP ? true : Failed(false);
    out.kind = KindOf(st);
    out.key = FileKey{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    out.size = static_cast<long long>(st.st_size);
    return true;
}

bool PosixFileSystem::ListFolder(const std::string& folder, std::vector<FolderEntry>& out) {
    out.clear();
    int dfd;
    do {
        dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } while (dfd < 0 && errno == EINTR);
    if (dfd < 0) return Failed(false);
    DIR* d = ::fdopendir(dfd);
    if (!d) {
        const int err = errno;
        ::close(dfd);
        SetLastError(err);
        return false;
    }
    bool ok = true;
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(d);
        if (!e) {
            ok = errno == 0 || Failed(false);
            break;
        }
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        FolderEntry fe;
        fe.name = name;
        // The folder tells what most entries are; a link (followed) or an
        // entry of a kind it does not tell is looked at. A dangling link,
        // or an entry removed since readdir, stays Missing.
        switch (e->d_type) {
            case DT_REG: fe.kind = EntryKind::File; break;
            case DT_DIR: fe.kind = EntryKind::Folder; break;
            case DT_LNK:
            case DT_UNKNOWN: {
                struct stat st {};
                if (::fstatat(dfd, e->d_name, &st, 0) == 0) fe.kind = KindOf(st);
                break;
            }
            default: fe.kind = EntryKind::Other; break;
        }
        out.push_back(std::move(fe));
    }
    ::closedir(d);
    return ok;
}

FileSystem& RealFileSystem() {
    static PosixFileSystem fs;
    return fs;
}


}  // namespace zelk
