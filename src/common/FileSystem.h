// Every file the core reads or writes goes through this small interface, so
// that tests can make any single step fail (or slow it down, or race it) and
// check that the user's files survive. The real implementation is a thin
// layer over POSIX.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zelk {

// --- Folder listing and file identity (the batch walk) ---

// A file or folder as the device and inode it lives on: two paths that lead
// to one file (links) give one key.
struct FileKey {
    uint64_t device = 0;
    uint64_t inode = 0;
    bool operator<(const FileKey& o) const {
        return device != o.device ? device < o.device : inode < o.inode;
    }
    bool operator==(const FileKey&) const = default;
};

// What a path names after following links.
enum class EntryKind { Missing, File, Folder, Other };

struct FileIdentity {
    EntryKind kind = EntryKind::Missing;  // Missing also for a dangling link
    FileKey key;
    long long size = 0;
};

struct FolderEntry {
    std::string name;
    EntryKind kind = EntryKind::Missing;  // after following links
};

struct FileStatus {
    bool exists = false;
    bool regular = false;    // after following links
    bool directory = false;  // after following links
    bool isSymlink = false;  // the path itself is a symbolic link
    uint32_t mode = 0;       // permission bits (07777)
    uint32_t uid = 0;
    uint32_t gid = 0;
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t links = 0;
    long long size = 0;
    long long mtimeNs = 0;  // modification time, nanoseconds since the epoch
};

class FileSystem {
public:
    using Handle = int;  // < 0: invalid

    virtual ~FileSystem() = default;

    // The errno-style number of the latest failed call on this thread, so a
    // failure can be reported with the system's reason. Implementations set
    // it with SetLastError.
    static int LastError();
    static void SetLastError(int err);

    // lstat-like for isSymlink, stat-like (following links) for the rest.
    // False only when the status cannot be told (a missing path is exists =
    // false and true).
    virtual bool Stat(const std::string& path, FileStatus& out) = 0;
    // The path with every symbolic link resolved; "" on failure.
    virtual std::string ResolvePath(const std::string& path) = 0;

    virtual Handle OpenRead(const std::string& path) = 0;
    // Reads up to size bytes; returns the count, 0 at the end, -1 on failure.
    virtual long long Read(Handle h, char* buf, std::size_t size) = 0;
    // Writes all of it or fails.
    virtual bool Write(Handle h, const char* data, std::size_t size) = 0;
    // Writes all of text, which a file system in memory may keep instead of
    // copying it; the others write it in pieces through Write, so that a
    // slow or interrupted disk shows up as a partial file. replacing (when
    // not null): the bytes, as read through this file system, of the file
    // this one is to be renamed over, so that a file system in memory may
    // keep only what differs from them.
    virtual bool WriteAll(Handle h, std::string&& text, const std::string* replacing);
    // Permission bits and (best effort) owner of an open file.
    virtual bool SetMode(Handle h, uint32_t mode, uint32_t uid, uint32_t gid) = 0;
    // Flushes the file's data to the device.
    virtual bool Sync(Handle h) = 0;
    virtual bool Close(Handle h) = 0;
    // Atomically puts from in the place of to.
    virtual bool Rename(const std::string& from, const std::string& to) = 0;
    // Removes the name (never follows it; a folder is refused).
    virtual bool Remove(const std::string& path) = 0;
    // Makes a rename inside the folder durable; failures are not reported.
    virtual void SyncFolder(const std::string& folder) = 0;
    // Creates one folder (its parent must exist). A file system that cannot
    // make folders, such as the in-memory ones, says so with ENOTSUP.
    virtual bool MakeFolder(const std::string& path, uint32_t mode);

    // --- The safe rewrite of a user's file (common/SafeWrite.h) ---
    // Opens for reading without following a link at the last name and
    // without waiting for a writer when the name is a FIFO.
    virtual Handle OpenNoFollow(const std::string& path) = 0;
    virtual bool StatHandle(Handle h, FileStatus& out) = 0;
    // An exclusive advisory lock on the open file, without waiting: false
    // when another process holds it. Released when the handle is closed.
    virtual bool Lock(Handle h) = 0;
    // Creates a new file for writing; fails when anything, a link included,
    // already stands at the name.
    virtual Handle CreateExclusive(const std::string& path, uint32_t mode) = 0;
    // Extended attributes (ACLs included) of an open file. A file system
    // without them gives an empty list.
    virtual bool ListAttributes(Handle h, std::vector<std::string>& names) = 0;
    virtual bool GetAttribute(Handle h, const std::string& name, std::string& value) = 0;
    virtual bool SetAttribute(Handle h, const std::string& name, const std::string& value) = 0;
    // Whether this process may write to the existing file at path.
    virtual bool CanWrite(const std::string& path) = 0;

    // --- Reading for the analysis ---
    // The file's bytes from its start, at most maxBytes of them, into out
    // after its first `keep` bytes (left as they are); out keeps its
    // capacity, so a buffer reused from file to file is not reallocated.
    // False when the file cannot be opened or read, with an errno-style
    // number in err (EIO when the file system gives none). One read of the
    // file's size, through OpenRead, StatHandle, Read and Close.
    bool ReadFile(const std::string& path, std::string& out, std::size_t keep, std::size_t maxBytes,
                  int& err);
    // The same, with the status of the open file before it was read.
    bool ReadFile(const std::string& path, std::string& out, std::size_t keep, std::size_t maxBytes,
                  int& err, FileStatus& status);

    // --- Folder listing and file identity ---
    // The entries of a folder ("." and ".." left out), in no particular
    // order; false when the folder cannot be read.
    virtual bool ListFolder(const std::string& folder, std::vector<FolderEntry>& out) = 0;
    // stat-like: follows links; false only on a failure other than "missing".
    virtual bool Identify(const std::string& path, FileIdentity& out) = 0;
};

class PosixFileSystem final : public FileSystem {
public:
    bool Stat(const std::string& path, FileStatus& out) override;
    std::string ResolvePath(const std::string& path) override;
    Handle OpenRead(const std::string& path) override;
    long long Read(Handle h, char* buf, std::size_t size) override;
    bool Write(Handle h, const char* data, std::size_t size) override;
    bool SetMode(Handle h, uint32_t mode, uint32_t uid, uint32_t gid) override;
    bool Sync(Handle h) override;
    bool Close(Handle h) override;
    bool Rename(const std::string& from, const std::string& to) override;
    bool Remove(const std::string& path) override;
    void SyncFolder(const std::string& folder) override;
    bool MakeFolder(const std::string& path, uint32_t mode) override;

    Handle OpenNoFollow(const std::string& path) override;
    bool StatHandle(Handle h, FileStatus& out) override;
    bool Lock(Handle h) override;
    Handle CreateExclusive(const std::string& path, uint32_t mode) override;
    bool ListAttributes(Handle h, std::vector<std::string>& names) override;
    bool GetAttribute(Handle h, const std::string& name, std::string& value) override;
    bool SetAttribute(Handle h, const std::string& name, const std::string& value) override;
    bool CanWrite(const std::string& path) override;

    bool ListFolder(const std::string& folder, std::vector<FolderEntry>& out) override;
    bool Identify(const std::string& path, FileIdentity& out) override;
};

// The process-wide real file system.
FileSystem& RealFileSystem();

// The system's description of an errno-style number ("No space left on
// device").
std::string ErrorText(int err);

}  // namespace zelk
