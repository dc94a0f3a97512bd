#include "batch/AnalysisPool.h"

#include <algorithm>

#ifdef __linux__
#include <sched.h>
#endif

#include "analysis/AnalysisHost.h"
#include "analysis/Analyzer.h"
#include "analysis/CommonWords.h"
#include "batch/ExclusionList.h"
#include "common/FileProc.h"
#include "common/ReportLog.h"
#include "common/StrProc.h"

namespace zelk {

namespace {

void ListInto(FileSystem& fs, const std::string& folder, bool subfolders,
              const std::vector<std::string>& excluded, std::set<std::pair<uint64_t, uint64_t>>& seen,
              WalkListings* listings, const RunFileSink& onFile) {
    WalkListing listed;
    std::vector<std::string>& files = listed.files;
    std::vector<std::string>& folders = listed.folders;
    if (!ListForWalk(fs, folder, seen, files, folders, &listed)) return;
    for (const std::string& name : files) {
        const std::string path = folder + "/" + name;
        if (FileExtension(name, true).find("htm") == std::string::npos) continue;
        const std::string low = LowerCaseAccented(path);
        if (low.find(".bak.htm") != std::string::npos) continue;
        if (std::any_of(excluded.begin(), excluded.end(),
                        [&](const std::string& f) { return low.find(f) != std::string::npos; }))
            continue;
        FileStatus st;
        onFile(path, fs.Stat(path, st) && st.exists ? st.size : 0);
    }
    if (subfolders)
        for (const std::string& name : folders)
            ListInto(fs, folder + "/" + name, true, excluded, seen, listings, onFile);
    if (listings) listings->emplace(folder, std::move(listed));
}

// A new thread starts on the core of the thread that made it, and the
// kernel may leave the two sharing that core while another one idles, for
// as much as 45 ms of a 260 ms run over a whole site. So thread k of the
// pool moves itself once to the k-th core after its maker's (of those the
// process may use), then lets the scheduler place it as it likes.
void MoveOffMakersCore([[maybe_unused]] int makersCore, [[maybe_unused]] int k) {
#ifdef __linux__
    cpu_set_t allowed;
    if (makersCore < 0 || sched_getaffinity(0, sizeof allowed, &allowed) != 0) return;
    std::vector<int> cores;
    for (int c = 0; c < CPU_SETSIZE; ++c)
        if (CPU_ISSET(c, &allowed)) cores.push_back(c);
    const auto at = std::find(cores.begin(), cores.end(), makersCore);
    if (cores.size() < 2 || at == cores.end()) return;
    const std::size_t from = static_cast<std::size_t>(at - cores.begin());
    const int target = cores[(from + static_cast<std::size_t>(k)) % cores.size()];
    if (target == makersCore) return;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(target, &one);
    if (sched_setaffinity(0, sizeof one, &one) == 0) sched_setaffinity(0, sizeof allowed, &allowed);
#endif
}

int CurrentCore() {
#ifdef __linux__
    return sched_getcpu();
#else
    return -1;
#endif
}

}  // namespace

// Types of the threads' analysis (named, as AnalysisPool::Worker holds them).
namespace ahead {

// The analysis side of a thread: nothing to show, the Unix-type file
// warning answered Yes and remembered for the walk to ask for real.
class AheadPrompter : public Prompter {
public:
    using Prompter::Ask;
    Answer Ask(const std::string& text, const std::string& title, Icon, Buttons, Answer) override {
        question = text;
        questionTitle = title;
        return Answer::Yes;
    }
    std::string question, questionTitle;
};

class AheadHost : public StringBoxesHost {
public:
    explicit AheadHost(const std::atomic<bool>& stop) : stop_(stop) {}
    Prompter& prompter() override { return prompter_; }
    void Yield() override {
        if (blnStop && stop_.load(std::memory_order_relaxed)) *blnStop = true;
    }
    AheadPrompter prompter_;
    bool* blnStop = nullptr;  // the analyzer's Stop flag

private:
    const std::atomic<bool>& stop_;
};

}  // namespace ahead

void ListRunFiles(FileSystem& fs, const Settings& settings, WalkListings* listings,
                  const RunFileSink& onFile) {
    std::vector<std::string> excluded;
    for (const std::string& item : ParseExclusionList(settings.ExcludedFilepaths))
        if (!item.empty()) excluded.push_back(LowerCaseAccented(item));
    std::string top = Trim(settings.Folder);
    while (!top.empty() && top.back() == '/') top.pop_back();
    std::set<std::pair<uint64_t, uint64_t>> seen;
    ListInto(fs, top, settings.IncludeAllSubfolders == 1, excluded, seen, listings, onFile);
}

AnalysisPool::AnalysisPool(const Settings& settings, const CommonWords& words, FileSystem& fs,
                           int threads)
    : settings_(settings), words_(words), fs_(fs),
      // Far enough for the other threads to go on while the walk waits for
      // a large page or for a core on a busy machine: what a page leaves
      // behind is small, its bytes are bounded apart (kKeptInAll).
      window_(static_cast<std::size_t>(std::max(threads, 1)) * 256) {
    words_.PrepareForSharing();
    // The walk does a thread's work whenever it would wait: one thread
    // fewer than asked for keeps as many threads busy.
    const int core = CurrentCore();
    for (int i = 0; i < std::max(threads - 1, 1); ++i)
        threads_.emplace_back([this, core, i] {
            MoveOffMakersCore(core, i + 1);
            Work();
        });
}

void AnalysisPool::Add(const std::string& path, long long size) {
    {
        std::lock_guard lock(mutex_);
        if (size >= kLargePage) large_.push_back(files_.size());
        files_.push_back(path);
        slots_.emplace_back();
        taken_.push_back(0);
    }
    workers_.notify_one();
}

void AnalysisPool::EndOfFiles() {
    {
        std::lock_guard lock(mutex_);
        listed_ = true;
    }
    workers_.notify_all();
}

AnalysisPool::~AnalysisPool() {
    Stop();
    for (std::thread& t : threads_) t.join();
}

void AnalysisPool::Stop() {
    {
        std::lock_guard lock(mutex_);
        stop_.value = true;
    }
    workers_.notify_all();
    walk_.notify_all();
}

// What one thread needs to analyse pages ahead of the walk: its own
// settings copy, report log and analyzer.
struct AnalysisPool::Worker {
    explicit Worker(AnalysisPool& pool)
        : settings(pool.settings_), host(pool.stop_.value), analyzer(settings, pool.words_, host, log) {
        log.maxChars = SIZE_MAX;
        log.onAppend = [this](const std::string& s) {
            std::string t = s;
            if (t.size() >= 2 && t.compare(t.size() - 2, 2, "\r\n") == 0) t.resize(t.size() - 2);
            lines.emplace_back(std::move(t), false);
        };
        analyzer.UseFileSystem(pool.fs_);
        host.blnStop = &analyzer.blnStop;
    }
    Settings settings;
    ReportLog log;
    std::vector<std::pair<std::string, bool>> lines;
    ahead::AheadHost host;
    Analyzer analyzer;
};

void AnalysisPool::Work() {
    Worker worker(*this);
    for (;;) {
        std::size_t i;
        std::string path, buffer;
        {
            std::unique_lock lock(mutex_);
            workers_.wait(lock, [this] {
                return stop_.value || HasWork() || (listed_ && next_ >= files_.size());
            });
            if (stop_.value || next_ >= files_.size()) return;
            i = PickNext(true);
            TakeUp(i, path, buffer);
        }
        Process(worker, i, path, std::move(buffer));
    }
}

void AnalysisPool::TakeUp(std::size_t i, std::string& path, std::string& buffer) {
    path = files_[i];
    if (!spare_.empty()) {
        buffer = std::move(spare_.back());
        spare_.pop_back();
    }
}

void AnalysisPool::Process(Worker& w, std::size_t i, const std::string& path, std::string buffer) {
    const Settings& settings = w.settings;
    Analyzer* analyzer = &w.analyzer;
    ahead::AheadHost* host = &w.host;
    Slot result;
    PageAhead& page = result.page;
    page.facts.page.bytes = std::move(buffer);
    ReadPageFacts(fs_, path, settings, page.facts);
    const PageFacts& f = page.facts;
    if (settings.InsertKWMT == 1 && f.read && f.hasHead && f.hasHeadEnd && !PreservedWhole(settings, f)) {
        w.lines.clear();
        host->prompter_.question.clear();
        host->SetOutputText("");
        const Analyzer::DoFileResult r = analyzer->DoFile(f.page.bytes, f.test);
        FileAnalysis& a = page.analysis;
        a.result = r.result;
        a.numberOfWords = r.numberOfWords;
        a.unixQuestion = host->prompter_.question;
        a.unixQuestionTitle = host->prompter_.questionTitle;
        // Stopped, or a Cancel the walk would see: the walk analyses it.
        page.analysed = !analyzer->blnStop && !analyzer->StopFlag && r.result != -3;
        analyzer->StopFlag = false;
        if (page.analysed && r.result == 0 && r.numberOfWords > 0) {
            analyzer->GenerateKeywordMetaTag();
            a.keywordsTag = host->OutputText();
        }
        a.reportLines = w.lines;
    }
    Prepare(settings, page);
    bool awaited = false;
    {
        std::lock_guard lock(mutex_);
        // The walk has passed this page meanwhile: nobody takes it.
        if (i + 1 < cursor_) result = Slot{};
        // Large pages, and pages beyond what the walk may hold at a
        // time, are read (and rewritten) again by the walk.
        const std::size_t size = KeptSize(page);
        page.bytesKept = page.facts.read && size <= kKeptPerPage && keptBytes_ + size <= kKeptInAll;
        if (page.bytesKept) {
            keptBytes_ += size;
        } else {
            std::string().swap(page.facts.page.bytes);
            page.rewrite.reset();
        }
        result.done = true;
        slots_[i] = std::move(result);
        awaited = awaited_ <= i && i < awaitedEnd_ && WalkMayGoOn();
    }
    if (awaited) walk_.notify_one();
}

std::size_t AnalysisPool::KeptSize(const PageAhead& page) {
    std::size_t size = page.facts.page.bytes.size();
    if (page.rewrite && page.rewrite->text) size += page.rewrite->text->size();
    return size;
}

void AnalysisPool::Prepare(const Settings& settings, PageAhead& page) {
    // The rewrite only for a page the walk will insert into without asking:
    // neither preserved, nor refused by the head checks or the text test,
    // nor without keywords.
    const PageFacts& f = page.facts;
    const bool kw = settings.InsertKWMT == 1;
    if (settings.Confirm == 1 || !f.read || !f.hasHeadEnd || PreservedWhole(settings, f) ||
        f.test.verdict == 0 || f.test.verdict == 7)
        return;
    if (kw && !(page.analysed && page.analysis.result == 0 && page.analysis.numberOfWords > 0))
        return;
    const std::string bottom =
        BottomWindowText(settings, f.oldKeywordsTag, f.oldViewportTag, false);
    const InsertPlan plan =
        PlanInsertion(settings, bottom, kw ? page.analysis.keywordsTag : settings.VPMT);
    if (plan.insert) page.rewrite = PrepareRewrite(f.page.bytes, f.test, plan.request);
}

bool AnalysisPool::InWindow() const { return next_ < files_.size() && next_ < cursor_ + window_; }

bool AnalysisPool::LargeLeft() {
    while (nextLarge_ < large_.size() && (taken_[large_[nextLarge_]] || large_[nextLarge_] < cursor_))
        ++nextLarge_;
    return nextLarge_ < large_.size();
}

bool AnalysisPool::HasWork() { return InWindow() || LargeLeft(); }

std::size_t AnalysisPool::PickNext(bool thread) {
    // A thread takes a large page first, wherever it stands: taken in its
    // turn, it would keep one thread busy long after the others ran out of
    // pages, and the walk would wait for it at the end. Its bytes are kept
    // within the same bounds as any page's. The walk, which has to insert
    // in order, takes the next page when there is one.
    if (LargeLeft() && (thread || !InWindow())) return MarkTaken(large_[nextLarge_++]);
    return MarkTaken(next_);
}

std::size_t AnalysisPool::MarkTaken(std::size_t i) {
    taken_[i] = 1;
    while (next_ < files_.size() && taken_[next_]) ++next_;
    return i;
}

bool AnalysisPool::WalkMayGoOn() const {
    if (stop_.value) return true;
    for (std::size_t k = awaited_; k < awaitedEnd_; ++k)
        if (!slots_[k].done) return false;
    return true;
}

void AnalysisPool::Drop(Slot& s) {
    if (s.page.bytesKept) keptBytes_ -= KeptSize(s.page);
    s = Slot{};
}

void AnalysisPool::GiveBack(std::string&& buffer) {
    if (buffer.capacity() == 0 || buffer.capacity() > kSpareBuffer) return;
    std::lock_guard lock(mutex_);
    if (spare_.size() < threads_.size() * 2) spare_.push_back(std::move(buffer));
}

bool AnalysisPool::Take(const std::string& path, PageAhead& out) {
    std::unique_lock lock(mutex_);
    std::size_t i = cursor_;
    while (i < files_.size() && files_[i] != path) ++i;
    if (i >= files_.size()) return false;
    // Files before this one were passed over by the walk: drop their work.
    for (std::size_t k = cursor_; k < i; ++k) Drop(slots_[k]);
    // Threads wait only when they have run the whole window ahead.
    const bool windowWasFull = next_ < files_.size() && next_ >= cursor_ + window_;
    cursor_ = i + 1;
    if (windowWasFull) workers_.notify_all();
    // While its page is not done, the walk does the work of a thread: its
    // own page when no thread has taken it up, else the next one a thread
    // would take. It waits only when there is none, so that with one
    // thread fewer than cores every core works and none is shared.
    while (!slots_[i].done && !stop_.value) {
        if (!taken_[i] || HasWork()) {
            const std::size_t k = taken_[i] ? PickNext(false) : MarkTaken(i);
            std::string pagePath, buffer;
            TakeUp(k, pagePath, buffer);
            if (!walkWorker_) walkWorker_ = std::make_unique<Worker>(*this);
            lock.unlock();
            Process(*walkWorker_, k, pagePath, std::move(buffer));
            lock.lock();
            continue;
        }
        awaited_ = i;
        awaitedEnd_ = std::min(i + kWalkBatch, files_.size());
        walk_.wait(lock, [this] { return WalkMayGoOn(); });
        awaited_ = static_cast<std::size_t>(-1);
    }
    if (!slots_[i].done) {
        // Stopped: the walk does it itself, and no thread may now.
        next_ = std::max(next_, i + 1);
        return false;
    }
    Slot& s = slots_[i];
    if (s.page.bytesKept) keptBytes_ -= KeptSize(s.page);
    out = std::move(s.page);
    s = Slot{};
    return true;
}

}  // namespace zelk
