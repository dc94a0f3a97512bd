// A file system held in memory, for the analysis tests: files are byte
// strings by path; reads can be made to fail after a number of bytes.
// Only the reading side is implemented; writing calls fail.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

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
        out.size = static_cast<long long>(files[path].size());
        return true;
    }
    std::string ResolvePath(const std::string& path) override { return path; }
    Handle OpenRead(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end()) {
            SetLastError(ENOENT);
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
            SetLastError(EIO);
            return -1;
        }
        std::memcpy(buf, o.data->data() + o.pos, n);
        o.pos += n;
        return static_cast<long long>(n);
    }
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
    Handle OpenNoFollow(const std::string& path) override { return OpenRead(path); }
    bool StatHandle(Handle h, FileStatus& out) override {
        out = FileStatus{};
        auto it = open_.find(h);
        if (it == open_.end()) return false;
        out.exists = out.regular = true;
        out.mode = 0644;
        out.size = static_cast<long long>(it->second.data->size());
        return true;
    }
    bool Lock(Handle) override { return true; }
    Handle CreateExclusive(const std::string&, uint32_t) override { return -1; }
    bool ListAttributes(Handle, std::vector<std::string>& names) override {
        names.clear();
        return true;
    }
    bool GetAttribute(Handle, const std::string&, std::string&) override { return false; }
    bool SetAttribute(Handle, const std::string&, const std::string&) override { return false; }
    bool CanWrite(const std::string&) override { return false; }
    bool ListFolder(const std::string&, std::vector<FolderEntry>& out) override {
        out.clear();
        return false;
    }
    bool Identify(const std::string& path, FileIdentity& out) override {
        out = FileIdentity{};
        if (files.count(path)) {
            out.kind = EntryKind::File;
            out.size = static_cast<long long>(files[path].size());
        }
        return true;
    }

private:
    struct Open {
        const std::string* data;
        std::size_t pos;
    };
    std::map<Handle, Open> open_;
    Handle next_ = 3;
};

}  // namespace zelk::testing
