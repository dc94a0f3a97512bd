// The file-system calls of an insertion, behind a small interface so that
// tests can make any single step fail (or slow it down) and check that the
// document survives. The real implementation is a thin layer over POSIX.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zelk {

struct FileStatus {
    bool exists = false;
    bool regular = false;    // after following links
    bool isSymlink = false;  // the path itself is a symbolic link
    uint32_t mode = 0;       // permission bits (07777)
    uint32_t uid = 0;
    uint32_t gid = 0;
};

class FileSystem {
public:
    using Handle = int;  // < 0: invalid

    virtual ~FileSystem() = default;

    // lstat-like for isSymlink, stat-like (following links) for the rest.
    virtual bool Stat(const std::string& path, FileStatus& out) = 0;
    // The path with every symbolic link resolved; "" on failure.
    virtual std::string ResolvePath(const std::string& path) = 0;

    virtual Handle OpenRead(const std::string& path) = 0;
    // Reads up to size bytes; returns the count, 0 at the end, -1 on failure.
    virtual long long Read(Handle h, char* buf, std::size_t size) = 0;
    // Creates or truncates, with the given permission bits.
    virtual Handle OpenWrite(const std::string& path, uint32_t mode) = 0;
    // Writes all of it or fails.
    virtual bool Write(Handle h, const char* data, std::size_t size) = 0;
    // Permission bits and (best effort) owner of an open file.
    virtual bool SetMode(Handle h, uint32_t mode, uint32_t uid, uint32_t gid) = 0;
    // Flushes the file's data to the device.
    virtual bool Sync(Handle h) = 0;
    virtual bool Close(Handle h) = 0;
    // Atomically puts from in the place of to.
    virtual bool Rename(const std::string& from, const std::string& to) = 0;
    virtual bool Remove(const std::string& path) = 0;
    // Makes a rename inside the folder durable; failures are not reported.
    virtual void SyncFolder(const std::string& folder) = 0;
};

class PosixFileSystem final : public FileSystem {
public:
    bool Stat(const std::string& path, FileStatus& out) override;
    std::string ResolvePath(const std::string& path) override;
    Handle OpenRead(const std::string& path) override;
    long long Read(Handle h, char* buf, std::size_t size) override;
    Handle OpenWrite(const std::string& path, uint32_t mode) override;
    bool Write(Handle h, const char* data, std::size_t size) override;
    bool SetMode(Handle h, uint32_t mode, uint32_t uid, uint32_t gid) override;
    bool Sync(Handle h) override;
    bool Close(Handle h) override;
    bool Rename(const std::string& from, const std::string& to) override;
    bool Remove(const std::string& path) override;
    void SyncFolder(const std::string& folder) override;
};

// The process-wide real file system.
FileSystem& RealFileSystem();

// Passes every call to another file system, except that the n-th call of a
// chosen kind (counting from 1) fails. Used to prove that no failure of a
// single step can damage a document.
class FaultyFileSystem final : public FileSystem {
public:
    enum class Step { None, Stat, OpenRead, Read, OpenWrite, Write, SetMode, Sync, Close, Rename };

    explicit FaultyFileSystem(FileSystem& inner) : inner_(inner) {}

    void FailAt(Step step, int nth = 1) {
        step_ = step;
        nth_ = nth;
        seen_ = 0;
        fired_ = false;
    }
    bool Fired() const { return fired_; }

    bool Stat(const std::string& path, FileStatus& out) override;
    std::string ResolvePath(const std::string& path) override { return inner_.ResolvePath(path); }
    Handle OpenRead(const std::string& path) override;
    long long Read(Handle h, char* buf, std::size_t size) override;
    Handle OpenWrite(const std::string& path, uint32_t mode) override;
    bool Write(Handle h, const char* data, std::size_t size) override;
    bool SetMode(Handle h, uint32_t mode, uint32_t uid, uint32_t gid) override;
    bool Sync(Handle h) override;
    bool Close(Handle h) override;
    bool Rename(const std::string& from, const std::string& to) override;
    bool Remove(const std::string& path) override { return inner_.Remove(path); }
    void SyncFolder(const std::string& folder) override { inner_.SyncFolder(folder); }

private:
    bool Hit(Step s);

    FileSystem& inner_;
    Step step_ = Step::None;
    int nth_ = 1;
    int seen_ = 0;
    bool fired_ = false;
};

}  // namespace zelk
