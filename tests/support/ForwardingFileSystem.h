// A file system that passes every call on to another one: the base of the
// test doubles that change a step or two (fail them, slow them down, race
// them). A subclass makes single calls fail by overriding Fails; a failing
// Write leaves part of the data behind, as a disk that fills up does, and a
// failing Close lets the descriptor go all the same, as close(2) does.
#pragma once

#include "common/FileSystem.h"

namespace zelk::testing {

class ForwardingFileSystem : public FileSystem {
public:
    // clang-format off
    enum class Step {
        None, Stat, OpenRead, Read, Write, SetMode, Sync, Close, Rename, Remove,
        OpenNoFollow, StatHandle, Lock, CreateExclusive, ListAttributes, SetAttribute,
        ListFolder, Identify
    };
    // clang-format on

    explicit ForwardingFileSystem(FileSystem& inner) : inner_(inner) {}

    bool Stat(const std::string& p, FileStatus& o) override {
        return !Fails(Step::Stat) && inner_.Stat(p, o);
    }
    std::string ResolvePath(const std::string& p) override { return inner_.ResolvePath(p); }
    Handle OpenRead(const std::string& p) override {
        return Fails(Step::OpenRead) ? -1 : inner_.OpenRead(p);
    }
    long long Read(Handle h, char* b, std::size_t n) override {
        return Fails(Step::Read) ? -1 : inner_.Read(h, b, n);
    }
    // (A call that succeeds leaves LastError as it was.)
    bool Write(Handle h, const char* d, std::size_t n) override {
        if (!Fails(Step::Write)) return inner_.Write(h, d, n);
        if (n > 1) (void)inner_.Write(h, d, n / 2);
        return false;
    }
    bool SetMode(Handle h, uint32_t m, uint32_t u, uint32_t g) override {
        return !Fails(Step::SetMode) && inner_.SetMode(h, m, u, g);
    }
    bool Sync(Handle h) override { return !Fails(Step::Sync) && inner_.Sync(h); }
    bool Close(Handle h) override {
        const bool fails = Fails(Step::Close);
        return inner_.Close(h) && !fails;
    }
    bool Rename(const std::string& a, const std::string& b) override {
        return !Fails(Step::Rename) && inner_.Rename(a, b);
    }
    bool Remove(const std::string& p) override { return !Fails(Step::Remove) && inner_.Remove(p); }
    void SyncFolder(const std::string& f) override { inner_.SyncFolder(f); }
    bool MakeFolder(const std::string& p, uint32_t m) override { return inner_.MakeFolder(p, m); }

    Handle OpenNoFollow(const std::string& p) override {
        return Fails(Step::OpenNoFollow) ? -1 : inner_.OpenNoFollow(p);
    }
    bool StatHandle(Handle h, FileStatus& o) override {
        return !Fails(Step::StatHandle) && inner_.StatHandle(h, o);
    }
    bool Lock(Handle h) override { return !Fails(Step::Lock) && inner_.Lock(h); }
    Handle CreateExclusive(const std::string& p, uint32_t m) override {
        return Fails(Step::CreateExclusive) ? -1 : inner_.CreateExclusive(p, m);
    }
    bool ListAttributes(Handle h, std::vector<std::string>& n) override {
        return !Fails(Step::ListAttributes) && inner_.ListAttributes(h, n);
    }
    bool GetAttribute(Handle h, const std::string& n, std::string& v) override {
        return inner_.GetAttribute(h, n, v);
    }
    bool SetAttribute(Handle h, const std::string& n, const std::string& v) override {
        return !Fails(Step::SetAttribute) && inner_.SetAttribute(h, n, v);
    }
    bool CanWrite(const std::string& p) override { return inner_.CanWrite(p); }
    bool ListFolder(const std::string& f, std::vector<FolderEntry>& o) override {
        return !Fails(Step::ListFolder) && inner_.ListFolder(f, o);
    }
    bool Identify(const std::string& p, FileIdentity& o) override {
        return !Fails(Step::Identify) && inner_.Identify(p, o);
    }

protected:
    // Whether this call is to fail; a failing call has set LastError.
    virtual bool Fails(Step) { return false; }

    FileSystem& inner_;
};

}  // namespace zelk::testing
