// A file system that passes every call on to another one: the base of the
// test doubles that change one or two steps (fail them, slow them down,
// race them).
#pragma once

#include "common/FileSystem.h"

namespace zelk::testing {

class ForwardingFileSystem : public FileSystem {
public:
    explicit ForwardingFileSystem(FileSystem& inner) : inner_(inner) {}

    bool Stat(const std::string& p, FileStatus& o) override { return inner_.Stat(p, o); }
    std::string ResolvePath(const std::string& p) override { return inner_.ResolvePath(p); }
    Handle OpenRead(const std::string& p) override { return inner_.OpenRead(p); }
    long long Read(Handle h, char* b, std::size_t n) override { return inner_.Read(h, b, n); }
    bool Write(Handle h, const char* d, std::size_t n) override { return inner_.Write(h, d, n); }
    bool SetMode(Handle h, uint32_t m, uint32_t u, uint32_t g) override {
        return inner_.SetMode(h, m, u, g);
    }
    bool Sync(Handle h) override { return inner_.Sync(h); }
    bool Close(Handle h) override { return inner_.Close(h); }
    bool Rename(const std::string& a, const std::string& b) override { return inner_.Rename(a, b); }
    bool Remove(const std::string& p) override { return inner_.Remove(p); }
    void SyncFolder(const std::string& f) override { inner_.SyncFolder(f); }

    Handle OpenNoFollow(const std::string& p) override { return inner_.OpenNoFollow(p); }
    bool StatHandle(Handle h, FileStatus& o) override { return inner_.StatHandle(h, o); }
    bool Lock(Handle h) override { return inner_.Lock(h); }
    Handle CreateExclusive(const std::string& p, uint32_t m) override {
        return inner_.CreateExclusive(p, m);
    }
    bool ListAttributes(Handle h, std::vector<std::string>& n) override {
        return inner_.ListAttributes(h, n);
    }
    bool GetAttribute(Handle h, const std::string& n, std::string& v) override {
        return inner_.GetAttribute(h, n, v);
    }
    bool SetAttribute(Handle h, const std::string& n, const std::string& v) override {
        return inner_.SetAttribute(h, n, v);
    }
    bool CanWrite(const std::string& p) override { return inner_.CanWrite(p); }
    bool ListFolder(const std::string& f, std::vector<FolderEntry>& o) override {
        return inner_.ListFolder(f, o);
    }
    bool Identify(const std::string& p, FileIdentity& o) override { return inner_.Identify(p, o); }

protected:
    FileSystem& inner_;
};

}  // namespace zelk::testing
