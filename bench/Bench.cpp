#include "Bench.h"

#include <time.h>

#include <chrono>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace zelk::bench {

std::string PronounceableWord(std::mt19937& rng, int syllables) {
    static const char* const kOnsets[] = {"b", "c", "d", "f", "g", "h", "j", "k", "l", "m", "n",
                                          "p", "r", "s", "t", "v", "w", "z", "br", "cl", "dr",
                                          "gr", "pl", "st", "tr", "sh", "ch", "th"};
    static const char* const kVowels[] = {"a", "e", "i", "o", "u", "ea", "ou", "ai", "oo"};
    static const char* const kCodas[] = {"", "n", "r", "s", "t", "m", "l", "nd", "rt", "st"};
    std::string w;
    for (int s = 0; s < syllables; ++s) {
        w += kOnsets[rng() % std::size(kOnsets)];
        w += kVowels[rng() % std::size(kVowels)];
        w += kCodas[rng() % std::size(kCodas)];
    }
    return w;
}

namespace {

// Pronounceable words from syllables, so the vocabulary is large (tens of
// thousands of distinct words) and most words pass the word rules.
std::vector<std::string> MakeVocabulary(std::mt19937& rng, std::size_t n) {
    std::vector<std::string> words;
    words.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        std::string w = PronounceableWord(rng, 1 + static_cast<int>(rng() % 3));
        if (rng() % 5 == 0) w[0] = static_cast<char>(w[0] - 32);  // some capitalised
        if (rng() % 7 == 0) w += "s";                               // some plurals
        words.push_back(std::move(w));
    }
    return words;
}

}  // namespace

std::string GenerateDocument(std::size_t bytes, bool lfOnly, uint32_t seed) {
    std::mt19937 rng(seed);
    const std::vector<std::string> vocab = MakeVocabulary(rng, 40000);
    // Zipf-like choice: a few words are frequent, most are rare.
    auto word = [&]() -> const std::string& {
        const double u = std::uniform_real_distribution<double>(0.0, 1.0)(rng);
        const std::size_t i = static_cast<std::size_t>(u * u * u * static_cast<double>(vocab.size()));
        return vocab[i < vocab.size() ? i : vocab.size() - 1];
    };
    const std::string nl = lfOnly ? "\n" : "\r\n";
    std::string doc;
    doc.reserve(bytes + 4096);
    auto sentence = [&](int n) {
        std::string s;
        for (int i = 0; i < n; ++i) {
            if (i) s += ' ';
            s += word();
        }
        return s;
    };
    doc += "<!DOCTYPE html>" + nl + "<html lang=\"en\">" + nl + "<head>" + nl;
    doc += "<meta charset=\"windows-1252\">" + nl;
    doc += "<title>" + sentence(6) + "</title>" + nl;
    doc += "<meta name=\"description\" content=\"" + sentence(20) + "\">" + nl;
    doc += "<meta name=\"keywords\" content=\"" + sentence(10) + "\">" + nl;
    doc += "<style>body { font-family: serif; } td { padding: 2px; }</style>" + nl;
    doc += "</head>" + nl + "<body>" + nl;
    int block = 0;
    while (doc.size() < bytes) {
        switch (block++ % 8) {
            case 0: doc += "<h2>" + sentence(4) + "</h2>" + nl; break;
            case 1:
                doc += "<p>" + sentence(12) + " <b>" + sentence(2) + "</b> " + sentence(10) +
                       " &amp; " + sentence(6) + " <i>" + sentence(3) + "</i>.</p>" + nl;
                break;
            case 2:
                doc += "<table class=\"t\">" + nl;
                for (int r = 0; r < 3; ++r)
                    doc += "<tr><td>" + sentence(2) + "</td><td>" + sentence(3) +
                           "</td><td>&euro;" + std::to_string(rng() % 100) + "</td></tr>" + nl;
                doc += "</table>" + nl;
                break;
            case 3:
                doc += "<p><font size=\"+1\">" + sentence(5) + "</font> caf&eacute; " +
                       sentence(8) + "&nbsp;<a href=\"page" + std::to_string(rng() % 500) +
                       ".html\">" + sentence(2) + "</a></p>" + nl;
                break;
            case 4: doc += "<!-- " + sentence(6) + " -->" + nl; break;
            case 5:
                doc += "<div class=\"box\"><span>" + sentence(4) + "</span> " + sentence(9) +
                       "</div>" + nl;
                break;
            case 6:
                doc += "<script>var x" + std::to_string(block) + " = \"" + sentence(3) +
                       "\";</script>" + nl;
                break;
            default:
                doc += "<p><strong>" + sentence(3) + "</strong> " + sentence(15) +
                       " &copy; &Eacute;" + word() + ".</p>" + nl;
                break;
        }
    }
    doc += "</body>" + nl + "</html>" + nl;
    return doc;
}

long PeakRssKb() {
    std::ifstream in("/proc/self/status");
    std::string key;
    while (in >> key) {
        if (key == "VmHWM:") {
            long kb = 0;
            in >> kb;
            return kb;
        }
        std::string rest;
        std::getline(in, rest);
    }
    return 0;
}

double CpuNow() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace zelk::bench
