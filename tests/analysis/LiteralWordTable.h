// The word table procedures written the plain way, as the reference the
// fast tally is compared with: parallel 1-based arrays growing by 500
// entries, a linear search for every counted word, the bubbling step that
// shifts entries, and the quadratic merge pass with its gap closing.
// Deliberately naive; only the tests use it.
#pragma once

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
    std::vector<std::string> Word{""};  // index 0 unused
    std::vector<int16_t> Frequency{0};
    std::vector<float> KeyValue{0.0f};
    float MaxKeyValue = 0.0f;

    LiteralWordTable() { Reset(); }

    void Reset() {
        Word.assign(501, "");
        Frequency.assign(501, 0);
        KeyValue.assign(501, 0.0f);
        WordCount = 0;
        MaxKeyValue = 0.0f;
    }

    int Capacity() const { return static_cast<int>(Word.size()) - 1; }

    Outcome CountWord(std::string_view currentWord, int language,
                      const std::function<bool(std::string_view)>& isCommon,
                      const std::function<float()>& contextWeight) {
        static const std::string vowels =
            "Yy" "AEIOUaeiou"
            "\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD2\xD3\xD4\xD5\xD6\xD8"
            "\xD9\xDA\xDB\xDC"
            "\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF2\xF3\xF4\xF5\xF6\xF8"
            "\xF9\xFA\xFB\xFC";
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
        int i = 1;
        while (i <= WordCount && Word[static_cast<size_t>(i)] != w) ++i;
        if (i <= WordCount) {
            if (Frequency[static_cast<size_t>(i)] == 32767) return Outcome::Dropped;
            Frequency[static_cast<size_t>(i)] = static_cast<int16_t>(Frequency[static_cast<size_t>(i)] + 1);
            KeyValue[static_cast<size_t>(i)] = KeyValue[static_cast<size_t>(i)] + contextWeight();
        } else {
            if (WordCount == 32767) return Outcome::Dropped;
            if (WordCount == Capacity()) {
                Word.resize(Word.size() + 500, "");
                Frequency.resize(Frequency.size() + 500, 0);
                KeyValue.resize(KeyValue.size() + 500, 0.0f);
            }
            WordCount = static_cast<int16_t>(WordCount + 1);
            const auto n = static_cast<size_t>(WordCount);
            Word[n] = w;
            Frequency[n] = 1;
            KeyValue[n] = contextWeight();
            outcome = Outcome::NewWord;
        }
        if (WordCount > 1) BubbleUpWord();
        return outcome;
    }

    void CopyWordEntry(int to, int from) {
        Word[static_cast<size_t>(to)] = Word[static_cast<size_t>(from)];
        Frequency[static_cast<size_t>(to)] = Frequency[static_cast<size_t>(from)];
        KeyValue[static_cast<size_t>(to)] = KeyValue[static_cast<size_t>(from)];
    }

    void MergeWordEntries(int target, int source) {
        // Frequencies are 16-bit: the sum is held at 32,767.
        int sum = Frequency[static_cast<size_t>(target)] + Frequency[static_cast<size_t>(source)];
        if (sum > 32767) sum = 32767;
        Frequency[static_cast<size_t>(target)] = static_cast<int16_t>(sum);
        KeyValue[static_cast<size_t>(target)] = KeyValue[static_cast<size_t>(target)] + KeyValue[static_cast<size_t>(source)];
    }

    void ClearWordEntry(int i) {
        Word[static_cast<size_t>(i)] = "";
        Frequency[static_cast<size_t>(i)] = 0;
        KeyValue[static_cast<size_t>(i)] = 0.0f;
    }

    void BubbleUpWord() {
        int i = 2;
        while (i <= WordCount && !(KeyValue[static_cast<size_t>(i)] > KeyValue[static_cast<size_t>(i - 1)])) ++i;
        if (i > WordCount) return;
        const std::string heldWord = Word[static_cast<size_t>(i)];
        const int16_t heldFrequency = Frequency[static_cast<size_t>(i)];
        const float heldValue = KeyValue[static_cast<size_t>(i)];
        int j = 1;
        while (!(KeyValue[static_cast<size_t>(j)] < heldValue)) ++j;
        for (int k = i - 1; k >= j; --k) CopyWordEntry(k + 1, k);
        Word[static_cast<size_t>(j)] = heldWord;
        Frequency[static_cast<size_t>(j)] = heldFrequency;
        KeyValue[static_cast<size_t>(j)] = heldValue;
    }

    void MergeCaseVariants() {
        const int last = WordCount - 1;
        for (int i = 1; i <= last; ++i) {
            const std::string& wi = Word[static_cast<size_t>(i)];
            if (!(wi.size() > 2 && Mid(wi, 2) == LowerCaseAccented(Mid(wi, 2)))) continue;
            const int bound = WordCount;
            for (int j = i + 1; j <= bound; ++j) {
                const std::string& a = Word[static_cast<size_t>(i)];
                const std::string& b = Word[static_cast<size_t>(j)];
                if (!b.empty() && LowerCaseAccented(a) == LowerCaseAccented(b) && Mid(a, 2) == Mid(b, 2)) {
                    MergeWordEntries(i, j);
                    ClearWordEntry(j);
                    Word[static_cast<size_t>(i)] = LowerCaseAccented(Word[static_cast<size_t>(i)]);
                    CompactWordTable();
                    BubbleUpWord();
                }
            }
        }
    }

    void CompactWordTable() {
        int empty = 0;
        for (int i = 1; i <= WordCount; ++i)
            if (Word[static_cast<size_t>(i)].empty()) ++empty;
        if (empty == 0) return;
        for (int i = 1; i <= WordCount; ++i) {
            if (!Word[static_cast<size_t>(i)].empty()) continue;
            int k = i + 1;
            while (k <= WordCount && Word[static_cast<size_t>(k)].empty()) ++k;
            if (k > WordCount) break;
            CopyWordEntry(i, k);
            ClearWordEntry(k);
        }
        WordCount = static_cast<int16_t>(WordCount - empty);
    }

    float NormaliseKeyValues() {
        MaxKeyValue = 0.0f;
        for (int i = 1; i <= WordCount; ++i)
            if (KeyValue[static_cast<size_t>(i)] > MaxKeyValue) MaxKeyValue = KeyValue[static_cast<size_t>(i)];
        if (MaxKeyValue <= 0.0f) return MaxKeyValue;
        for (int i = 1; i <= WordCount; ++i) {
            float v = KeyValue[static_cast<size_t>(i)] * 100.0f;
            v = v / MaxKeyValue;
            KeyValue[static_cast<size_t>(i)] = v;
        }
        return MaxKeyValue;
    }
};

}  // namespace zelk::test
