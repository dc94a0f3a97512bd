// The word table procedures written the plain way, as the reference the
// fast tally is compared with: parallel 1-based arrays growing by 500
// entries, a linear search for every counted word, the bubbling step that
// shifts entries, and the quadratic merge pass with its gap closing.
// Deliberately naive; only the tests use it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/WordTally.h"
#include "common/StrProc.h"

namespace zelk::test {

class LiteralWordTable {
public:
    using Outcome = WordTally::Outcome;

    int16_t WordCount = 0;
    std::vector<std::string> Word = std::vector<std::string>(501);  // 1-based, grows by 500
    std::vector<int16_t> Frequency = std::vector<int16_t>(501);
    std::vector<float> KeyValue = std::vector<float>(501);

    Outcome CountWord(std::string_view currentWord, int language,
                      const std::function<bool(std::string_view)>& isCommon,
                      const std::function<float()>& contextWeight) {
        static const std::string vowels =
            "YyAEIOUaeiou\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD2\xD3\xD4\xD5\xD6\xD8\xD9\xDA\xDB\xDC"
            "\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF2\xF3\xF4\xF5\xF6\xF8\xF9\xFA\xFB\xFC";
        static const std::string stems = "aren couldn didn doesn hadn hasn isn shouldn wasn weren wouldn ";

        std::string w(currentWord);
        if (w.size() <= 2 || w.size() > 30) return Outcome::Dropped;
        std::string t = LowerCaseAccented(w);
        const char first = t.front();
        std::erase(t, first);
        if (t.empty()) return Outcome::Dropped;
        t = LowerCaseAccented(w);
        std::erase_if(t, [](char c) { return std::string_view("ivxlcm").find(c) != std::string_view::npos; });
        if (t.empty()) return Outcome::Dropped;
        long found = 0;
        if (FindFirstOf(w, 1, vowels, found) == 0) return Outcome::Dropped;
        if (language == 0 && InStr(stems, LowerCaseAccented(w) + " ") > 0) return Outcome::Dropped;
        w = Singular(w);
        if (w.size() >= 5 && EndsWith(LowerCaseAccented(w), "ing", true)) return Outcome::Dropped;
        if (isCommon && isCommon(w)) return Outcome::Dropped;
        if (w.size() >= 5) {
            std::string l = LowerCaseAccented(w);
            if ((EndsWith(l, "ly", true) || EndsWith(l, "ed", true)) && l != "alfred" && l != "limited" &&
                l != "screed" && l != "tweed" && l != "filly" && l != "folly" && !EndsWith(l, "poly", true))
                return Outcome::Dropped;
        }
        if (w.size() < 3) return Outcome::Dropped;

        Outcome outcome = Outcome::Counted;
        size_t i = 1;
        while (i <= n() && Word[i] != w) ++i;
        if (i <= n()) {
            if (Frequency[i] == 32767) return Outcome::Dropped;
            Frequency[i] = static_cast<int16_t>(Frequency[i] + 1);
            KeyValue[i] = KeyValue[i] + contextWeight();
        } else {
            if (WordCount == 32767) return Outcome::Dropped;
            if (n() + 1 == Word.size()) {
                Word.resize(Word.size() + 500);
                Frequency.resize(Frequency.size() + 500);
                KeyValue.resize(KeyValue.size() + 500);
            }
            WordCount = static_cast<int16_t>(WordCount + 1);
            Word[n()] = w;
            Frequency[n()] = 1;
            KeyValue[n()] = contextWeight();
            outcome = Outcome::NewWord;
        }
        if (WordCount > 1) BubbleUpWord();
        return outcome;
    }

    void BubbleUpWord() {
        size_t i = 2;
        while (i <= n() && !(KeyValue[i] > KeyValue[i - 1])) ++i;
        if (i > n()) return;
        const std::string heldWord = Word[i];
        const int16_t heldFrequency = Frequency[i];
        const float heldValue = KeyValue[i];
        size_t j = 1;
        while (!(KeyValue[j] < heldValue)) ++j;
        for (size_t k = i - 1; k >= j; --k) Copy(k + 1, k);
        Word[j] = heldWord;
        Frequency[j] = heldFrequency;
        KeyValue[j] = heldValue;
    }

    void MergeCaseVariants() {
        const size_t last = WordCount > 0 ? n() - 1 : 0;
        for (size_t i = 1; i <= last; ++i) {
            if (!(Word[i].size() > 2 && Mid(Word[i], 2) == LowerCaseAccented(Mid(Word[i], 2)))) continue;
            const size_t bound = n();
            for (size_t j = i + 1; j <= bound; ++j) {
                const std::string& a = Word[i];
                const std::string& b = Word[j];
                if (!b.empty() && LowerCaseAccented(a) == LowerCaseAccented(b) && Mid(a, 2) == Mid(b, 2)) {
                    // Frequencies are 16-bit: the sum is held at 32,767.
                    Frequency[i] = static_cast<int16_t>(std::min(32767, Frequency[i] + Frequency[j]));
                    KeyValue[i] = KeyValue[i] + KeyValue[j];
                    Clear(j);
                    Word[i] = LowerCaseAccented(Word[i]);
                    CompactWordTable();
                    BubbleUpWord();
                }
            }
        }
    }

    void CompactWordTable() {
        size_t empty = 0;
        for (size_t i = 1; i <= n(); ++i) empty += Word[i].empty() ? 1 : 0;
        if (empty == 0) return;
        for (size_t i = 1; i <= n(); ++i) {
            if (!Word[i].empty()) continue;
            size_t k = i + 1;
            while (k <= n() && Word[k].empty()) ++k;
            if (k > n()) break;
            Copy(i, k);
            Clear(k);
        }
        WordCount = static_cast<int16_t>(n() - empty);
    }

    float NormaliseKeyValues() {
        float max = 0.0f;
        for (size_t i = 1; i <= n(); ++i)
            if (KeyValue[i] > max) max = KeyValue[i];
        if (max <= 0.0f) return max;
        for (size_t i = 1; i <= n(); ++i) {
            const float v = KeyValue[i] * 100.0f;
            KeyValue[i] = v / max;
        }
        return max;
    }

private:
    size_t n() const { return static_cast<size_t>(WordCount); }
    void Copy(size_t to, size_t from) {
        Word[to] = Word[from];
        Frequency[to] = Frequency[from];
        KeyValue[to] = KeyValue[from];
    }
    void Clear(size_t i) {
        Word[i].clear();
        Frequency[i] = 0;
        KeyValue[i] = 0.0f;
    }
};

}  // namespace zelk::test
