// Passes every call to another file system, except that the n-th call of a
// chosen kind (counting from 1) fails with a chosen reason. Used to prove
// that no failure of a single step can damage a user's file, and that the
// failure is reported with its reason.
#pragma once

#include <cerrno>

#include "support/ForwardingFileSystem.h"

namespace zelk::testing {

class FaultyFileSystem final : public ForwardingFileSystem {
public:
    enum class Step {
        None, Stat, OpenRead, Read, Write, SetMode, Sync, Close, Rename, Remove,
        OpenNoFollow, StatHandle, Lock, CreateExclusive, ListAttributes, SetAttribute,
        ListFolder, Identify
    };

    explicit FaultyFileSystem(FileSystem& inner) : ForwardingFileSystem(inner) {}

    void FailAt(Step step, int nth = 1, int err = EIO) {
        step_ = step;
        nth_ = nth;
        err_ = err;
        seen_ = 0;
        fired_ = false;
    }
    bool Fired() const { return fired_; }

    bool Stat(const std::string& p, FileStatus& o) override {
        return !Hit(Step::Stat) && inner_.Stat(p, o);
    }
    Handle OpenRead(const std::string& p) override {
        return Hit(Step::OpenRead) ? -1 : inner_.OpenRead(p);
    }
    long long Read(Handle h, char* b, std::size_t n) override {
        return Hit(Step::Read) ? -1 : inner_.Read(h, b, n);
    }
    bool Write(Handle h, const char* d, std::size_t n) override {
        if (Hit(Step::Write)) {
            // A disk that fills up mid-way leaves part of the data behind.
            if (n > 1) (void)inner_.Write(h, d, n / 2);
            SetLastError(err_);
            return false;
        }
        return inner_.Write(h, d, n);
    }
    bool SetMode(Handle h, uint32_t m, uint32_t u, uint32_t g) override {
        return !Hit(Step::SetMode) && inner_.SetMode(h, m, u, g);
    }
    bool Sync(Handle h) override { return !Hit(Step::Sync) && inner_.Sync(h); }
    bool Close(Handle h) override {
        if (Hit(Step::Close)) {
            // The descriptor is gone either way, as with a failing close(2).
            (void)inner_.Close(h);
            SetLastError(err_);
            return false;
        }
        return inner_.Close(h);
    }
    bool Rename(const std::string& a, const std::string& b) override {
        return !Hit(Step::Rename) && inner_.Rename(a, b);
    }
    bool Remove(const std::string& p) override { return !Hit(Step::Remove) && inner_.Remove(p); }
    Handle OpenNoFollow(const std::string& p) override {
        return Hit(Step::OpenNoFollow) ? -1 : inner_.OpenNoFollow(p);
    }
    bool StatHandle(Handle h, FileStatus& o) override {
        return !Hit(Step::StatHandle) && inner_.StatHandle(h, o);
    }
    bool Lock(Handle h) override { return !Hit(Step::Lock) && inner_.Lock(h); }
    Handle CreateExclusive(const std::string& p, uint32_t m) override {
        return Hit(Step::CreateExclusive) ? -1 : inner_.CreateExclusive(p, m);
    }
    bool ListAttributes(Handle h, std::vector<std::string>& n) override {
        return !Hit(Step::ListAttributes) && inner_.ListAttributes(h, n);
    }
    bool SetAttribute(Handle h, const std::string& n, const std::string& v) override {
        return !Hit(Step::SetAttribute) && inner_.SetAttribute(h, n, v);
    }

    bool ListFolder(const std::string& f, std::vector<FolderEntry>& o) override {
        return !Hit(Step::ListFolder) && inner_.ListFolder(f, o);
    }
    bool Identify(const std::string& p, FileIdentity& o) override {
        return !Hit(Step::Identify) && inner_.Identify(p, o);
    }

private:
    bool Hit(Step s) {
        if (s != step_ || fired_) return false;
        if (++seen_ < nth_) return false;
        fired_ = true;
        SetLastError(err_);
        return true;
    }

    Step step_ = Step::None;
    int nth_ = 1;
    int err_ = EIO;
    int seen_ = 0;
    bool fired_ = false;
};

}  // namespace zelk::testing
