// A child process inserting into a real-looking page is killed at random
// moments; whatever the moment, the page is afterwards either the old or the
// new text, never missing and never partial.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "insertion/Insert.h"
#include "support/TempDir.h"
#include "support/ForwardingFileSystem.h"

using namespace zelk;
using namespace zelk::testing;

namespace {

// Stretches the writing of the working file over many small, slow steps so
// that random kills land in every phase of an insertion.
class SlowFileSystem final : public ForwardingFileSystem {
public:
    explicit SlowFileSystem(FileSystem& inner) : ForwardingFileSystem(inner) {}
    bool Write(Handle h, const char* data, std::size_t size) override {
        while (size > 0) {
            std::size_t n = std::min<std::size_t>(size, 2048);
            if (!inner_.Write(h, data, n)) return false;
            data += n;
            size -= n;
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        }
        return true;
    }
    bool Rename(const std::string& a, const std::string& b) override {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        return inner_.Rename(a, b);
    }
};

std::string RealPage() {
    std::string page = ReadBytes(InsertionData("garden.htm"));
    // Body text repeated to a few hundred kilobytes.
    std::string body = page.substr(page.find("<body>"));
    for (int i = 0; i < 150; ++i) page += body;
    return page;
}

TEST(InsertCrash, KilledAtRandomMomentsTheDocumentIsOldOrNew) {
    TempDir dir;
    const std::string doc = dir / "garden.htm";
    const std::string oldText = RealPage();
    ASSERT_GT(oldText.size(), 100000u);

    InsertRequest rq;
    rq.insertVPMT = true;
    rq.insertKWMT = true;
    rq.vpmtText = "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1.0\">";
    rq.mainMetaTagText = "<meta name=\"keywords\" content=\"garden, roses, soil, compost\">";
    const std::string tag = MetaTagFromTextbox(rq.mainMetaTagText);

    // The new text, made once without interruption.
    WriteBytes(doc, oldText);
    {
        ReportLog log;
        ASSERT_EQ(InsertMetaTags(tag, doc, rq, log), 0);
    }
    const std::string newText = ReadBytes(doc);
    ASSERT_NE(newText, oldText);

    auto startChild = [&]() {
        std::fflush(nullptr);
        pid_t child = ::fork();
        if (child == 0) {
            SlowFileSystem slow(RealFileSystem());
            ReportLog log;
            int16_t code = InsertMetaTags(tag, doc, rq, log, slow);
            ::_exit(code == 0 ? 0 : 3);
        }
        return child;
    };

    // How long one uninterrupted insertion takes in this build: the kills
    // are spread over that time and a little beyond.
    WriteBytes(doc, oldText);
    const auto t0 = std::chrono::steady_clock::now();
    pid_t timed = startChild();
    ASSERT_GT(timed, 0);
    int timedStatus = 0;
    ASSERT_EQ(::waitpid(timed, &timedStatus, 0), timed);
    ASSERT_TRUE(WIFEXITED(timedStatus) && WEXITSTATUS(timedStatus) == 0);
    const auto full = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - t0)
                          .count();
    ASSERT_EQ(ReadBytes(doc), newText);

    std::mt19937 rng(20261206);
    long long longest = full + full / 4;
    int sawOld = 0, sawNew = 0;
    // At least 60 rounds; more while the kills have not yet landed on both
    // sides of the replacement. On a loaded machine one insertion can take
    // far longer than the timed one, so the kills reach further each time.
    for (int round = 0; round < 60 || ((sawOld == 0 || sawNew == 0) && round < 300); ++round) {
        if (round % 20 == 19 && sawNew == 0) longest *= 2;
        if (round % 2 == 0) WriteBytes(doc, oldText);
        pid_t child = startChild();
        ASSERT_GT(child, 0);
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<long long>(0, longest)(rng)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        if (WIFEXITED(status)) {
            ASSERT_EQ(WEXITSTATUS(status), 0) << "round " << round;
        }
        const std::string now = ReadBytes(doc);
        ASSERT_TRUE(now == oldText || now == newText)
            << "round " << round << ": document has " << now.size() << " bytes";
        (now == oldText ? sawOld : sawNew)++;
        // A killed run may leave its working file; the batch run reports such
        // leftovers. Clear it for the next round.
        std::filesystem::remove(dir / "garden.bak.htm");
    }
    // The kills landed both before and after the moment of replacement.
    EXPECT_GT(sawOld, 0);
    EXPECT_GT(sawNew, 0);
}

}  // namespace
