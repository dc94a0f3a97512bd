// Benchmarks of the analysis: generated documents of realistic HTML, timed
// runs and the memory they needed. Figures are printed, never asserted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

namespace zelk::bench {

// A page of about `bytes` bytes: head with title and meta tags, body with
// headings, paragraphs, bold and italic runs, links, tables, font tags,
// entities, comments and scripts, over a vocabulary of many distinct words.
// Lines end with CR LF, or with LF only (which the analysis reads as one line).
std::string GenerateDocument(std::size_t bytes, bool lfOnly, uint32_t seed = 1);

// Writes the site of the batch bench (Site.cpp): `pages` pages of `mb` MB
// in all into ten folders of five subfolders each under root. Returns the
// exit status.
int WriteSite(const std::string& root, int pages, int mb);

// A word of `syllables` random syllables (onset, vowel, coda), drawn from rng.
std::string PronounceableWord(std::mt19937& rng, int syllables);

// Peak resident set size of this process so far, in KiB (0 when unknown).
long PeakRssKb();

// Monotonic clock in seconds.
double Now();
// CPU time of the calling thread in seconds: the figure that stays honest
// when other work shares the machine.
double CpuNow();

// Counting and merging a table of 30,000 distinct words (bench_tally.cpp).
void BenchTally();

}  // namespace zelk::bench
