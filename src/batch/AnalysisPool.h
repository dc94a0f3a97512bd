// Pages read, examined and analysed on several threads ahead of the walk
// (zelk-cli --jobs). The walk still takes every file in its own order,
// inserts and reports; it finds that work done, or does it itself (for its
// own page or the next one) rather than wait. Each thread has its
// own analyzer, settings copy and report log; the common-word lists are
// shared read-only.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "batch/BatchRun.h"
#include "common/Settings.h"

namespace zelk {

class CommonWords;

// Gets each file listed, with its size (0 when it cannot be told).
using RunFileSink = std::function<void(const std::string& path, long long size)>;
// The HTML files of a tree, one by one in the order a run takes them,
// without the ones it will certainly pass over (leftovers, excluded paths).
// Subfolders only with settings.IncludeAllSubfolders. listings (when given)
// gets every folder listed, for the walk (BatchRun::UseListings).
void ListRunFiles(FileSystem& fs, const Settings& settings, WalkListings* listings,
                  const RunFileSink& onFile);

class AnalysisPool final : public AnalysisAhead {
public:
    // settings is copied: a run that uses the pool must not change the
    // analysis settings while it goes on. words must not change either.
    // Without InsertKWMT the pages are read and examined, not analysed.
    // threads counts the walk's: one fewer start at once and take up the
    // files as Add gives them, so that they work while the tree is still
    // being listed.
    AnalysisPool(const Settings& settings, const CommonWords& words, FileSystem& fs, int threads);
    // The run's next file in the walk's order, and its size: a large page
    // is taken up early.
    void Add(const std::string& path, long long size);
    // No more files come; the walk may start.
    void EndOfFiles();
    ~AnalysisPool() override;

    bool Take(const std::string& path, PageAhead& out) override;
    void GiveBack(std::string&& buffer) override;
    // Ends the work ahead (a stopped run); Take then finds nothing more.
    void Stop();

private:
    struct Slot {
        PageAhead page;
        bool done = false;
    };
    struct Worker;
    void Work();
    // Takes file i up under mutex_: its path, and a spare buffer to read it into.
    void TakeUp(std::size_t i, std::string& path, std::string& buffer);
    // Reads, examines, analyses and rewrites file i ahead of the walk, and
    // leaves the result in its slot (takes mutex_).
    void Process(Worker& w, std::size_t i, const std::string& path, std::string buffer);
    std::size_t MarkTaken(std::size_t i);  // under mutex_: file i is taken up; returns i
    void Drop(Slot& s);  // under mutex_
    // The rewrite of an automatic insertion, made ahead of the walk.
    static void Prepare(const Settings& settings, PageAhead& page);
    // The bytes a page keeps for the walk: its own and its rewrite's.
    static std::size_t KeptSize(const PageAhead& page);

    // Bytes of pages kept for the walk, a page's own and its rewrite's: at
    // most this much for one page, and in all (larger pages are read and
    // rewritten again by the walk). Buffers of up to kSpareBuffer bytes are
    // used again.
    static constexpr std::size_t kKeptPerPage = std::size_t{32} << 20;
    static constexpr std::size_t kKeptInAll = std::size_t{64} << 20;
    static constexpr std::size_t kSpareBuffer = std::size_t{16} << 20;

    const Settings settings_;
    const CommonWords& words_;
    FileSystem& fs_;
    std::vector<std::string> files_;
    std::vector<Slot> slots_;
    bool listed_ = false;     // EndOfFiles was called
    std::size_t next_ = 0;    // first file no thread has taken up
    std::vector<unsigned char> taken_;  // per file: a thread took it up
    // Files of at least kLargePage bytes, in order, and the first of them
    // that may still be untaken.
    static constexpr long long kLargePage = 1 << 20;
    std::vector<std::size_t> large_;
    std::size_t nextLarge_ = 0;
    // Under mutex_: the next file in order is within the window; a large
    // page is left to take up; either of them.
    bool InWindow() const;
    bool LargeLeft();
    bool HasWork();
    // Under mutex_, with HasWork(): the file to take up next, for a thread
    // or for the walk.
    std::size_t PickNext(bool thread);
    std::size_t cursor_ = 0;  // the walk has passed every file before this
    std::size_t window_;      // how far the threads may run ahead of the walk
    std::size_t keptBytes_ = 0;  // bytes of pages kept for the walk
    // Buffers of pages the walk is done with, for the next pages read: a
    // page is read into memory in use rather than into fresh memory of a
    // thread's heap (which grows and shrinks, page by page, otherwise).
    std::vector<std::string> spare_;
    // Read at every step of every thread's scan: on a cache line of its
    // own, apart from what the threads write under the lock.
    struct alignas(64) StopFlag {
        std::atomic<bool> value{false};
    };
    StopFlag stop_;
    // The files whose work the walk waits for, [awaited_, awaitedEnd_)
    // (none: awaited_ is npos): the walk, when it has to wait, waits for a
    // few pages at once, so that it is not woken for every page.
    static constexpr std::size_t kWalkBatch = 8;
    std::size_t awaited_ = static_cast<std::size_t>(-1);
    std::size_t awaitedEnd_ = 0;
    bool WalkMayGoOn() const;  // under mutex_
    std::mutex mutex_;
    std::condition_variable workers_;  // the window moved on, or stop
    std::condition_variable walk_;     // the awaited file is done, or stop
    std::vector<std::thread> threads_;
    std::unique_ptr<Worker> walkWorker_;  // the walk's, made when it first helps
};

}  // namespace zelk
