// A file system held in memory, for the analysis tests: files are byte
// strings by path; reads can be made to fail after a number of bytes.
// Only the reading side is implemented; writing calls fail.
#pragma once

#include <cerrno>
#include <cstring>
#include <map>
#include <string>

#include "common/FileSystem.h"

namespace zelk::testing {

class MemoryFileSystem final : public FileSystem {
public:
    std::map<std::string, std::string> files;
    // A read that would go past this many bytes of a file fails (EIO).
    std::size_t failReadsAfter = static_cast<std::size_t>(-1);
    int opened = 0;  // handles opened and not yet closed

    bool Stat(const std::string& path, FileStatus& out) override {
        out = FileStatus{};
        if (files.count(path) == 0) return true;
        out.exists = out.regular = true;
        out.mode = 0644;
        return true;
    }
    std::string ResolvePath(const std::string& path) override { return path; }
    Handle OpenRead(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end()) {
            errno = ENOENT;
            return -1;
        }
        open_[next_] = {&it->second, 0};
        ++opened;
        return next_++;
    }
    long long Read(Handle h, char* buf, std::size_t size) override {
        auto it = open_.find(h);
        if (it == open_.end()) return -1;
        Open& o = it->second;
        const std::size_t n = std::min(size, o.data->size() - o.pos);
        if (n > 0 && o.pos + n > failReadsAfter) {
            errno = EIO;
            return -1;
        }
        std::memcpy(buf, o.data->data() + o.pos, n);
        o.pos += n;
        return static_cast<long long>(n);
    }
    Handle OpenWrite(const std::string&, uint32_t) override { return -1; }
    bool Write(Handle, const char*, std::size_t) override { return false; }
    bool SetMode(Handle, uint32_t, uint32_t, uint32_t) override { return false; }
    bool Sync(Handle) override { return false; }
    bool Close(Handle h) override {
        if (open_.erase(h) == 0) return false;
        --opened;
        return true;
    }
    bool Rename(const std::string&, const std::string&) override { return false; }
    bool Remove(const std::string&) override { return false; }
    void SyncFolder(const std::string&) override {}

private:
    struct Open {
        const std::string* data;
        std::size_t pos;
    };
    std::map<Handle, Open> open_;
    Handle next_ = 3;
};

}  // namespace zelk::testing
