// Speed of the word tally on a large table: counting 30,000 distinct words
// (22,500 words, a third of them also spelt with a capital; every word
// counted several times) and the finishing steps that merge the capitalised
// twins and rescale.
#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "Bench.h"
#include "analysis/WordTally.h"

namespace zelk::bench {

void BenchTally() {
    std::mt19937 rng(30000);
    const std::string letters = "bcdfghjkmnpqrtvwxz";
    std::vector<std::string> words;
    for (int n = 0; words.size() < 22500; ++n) {
        std::string w = "za";
        for (int k = n; k > 0 || w.size() < 5; k /= 18) w += letters[static_cast<size_t>(k % 18)];
        words.push_back(w);
    }
    std::vector<std::string> stream;
    int n = 0;
    for (const std::string& w : words) {
        std::string capital = w;
        capital[0] = 'Z';
        for (int c = 0; c < 3; ++c) stream.push_back(w);
        if (n++ % 3 == 0) stream.push_back(capital);
    }
    std::shuffle(stream.begin(), stream.end(), rng);

    WordTally tally;
    tally.Reset();
    float weight = 0;
    auto weightFn = [&] { return weight; };
    const double t0 = Now();
    for (const std::string& w : stream) {
        weight = static_cast<float>(rng() % 10);
        tally.CountWord(w, 0, WordTally::IsCommonFn{}, weightFn);
    }
    const double t1 = Now();
    const int16_t before = tally.WordCount();
    tally.MergeCaseVariants();
    const double t2 = Now();
    tally.NormaliseKeyValues();
    const std::size_t ranked = tally.Table().entries.size();
    const double t3 = Now();
    std::printf("Word tally: %zu counts of %d distinct words in %.3f s (%.0f ns per count)\n",
                stream.size(), static_cast<int>(before), t1 - t0,
                (t1 - t0) * 1e9 / static_cast<double>(stream.size()));
    std::printf("Word tally: merging case variants %d -> %zu entries in %.3f s, rescaling in %.3f s\n",
                static_cast<int>(before), ranked, t2 - t1, t3 - t2);
    std::fflush(stdout);
}

}  // namespace zelk::bench
