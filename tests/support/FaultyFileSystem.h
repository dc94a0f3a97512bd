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
    explicit FaultyFileSystem(FileSystem& inner) : ForwardingFileSystem(inner) {}

    void FailAt(Step step, int nth = 1, int err = EIO) {
        step_ = step;
        nth_ = nth;
        err_ = err;
        seen_ = 0;
        fired_ = false;
    }
    bool Fired() const { return fired_; }

private:
    bool Fails(Step s) override {
        if (s != step_ || fired_ || ++seen_ < nth_) return false;
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
