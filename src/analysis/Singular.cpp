#include "analysis/WordTally.h"

#include "common/StrProc.h"

namespace zelk {

std::string Singular(std::string_view word) {
    std::string t = word.empty() || (word.front() != ' ' && word.back() != ' ') ? std::string(word) : Trim(word);
    if (t.size() <= 2) return t;
    // Every rule below needs a final "s", except "mice" and "lice": most
    // words leave here.
    const char last = LowerChar(t.back());
    if (last != 's' && last != 'e') return t;
    if (t == "Windows") return t;
    const std::string lower = LowerCaseAccented(t);
    if (lower == "rights") return t;

    // a: the two irregular plurals the rules know of.
    if (lower == "mice" || lower == "lice")
        return t.substr(0, 1) + (IsAllCapitals(t.substr(0, 1)) ? "OUSE" : "ouse");

    auto endsWith = [&](std::string_view ending) { return EndsWith(t, ending, false); };
    auto lastIs = [&](std::string_view exact) { return EndsWith(t, exact, true); };

    // b: "cities" -> "city", but not "plaies".
    if (endsWith("ies") && !endsWith("aies") && !endsWith("eies") && t.size() >= 5)
        return ReplaceEnding(t, "ies", lastIs("IES") ? "Y" : "y", false);
    // c: "classes", "wishes", "buzzes" lose "es".
    if (endsWith("shes") || endsWith("sses") || endsWith("zzes")) return t.substr(0, t.size() - 2);
    // d: "heroes" -> "hero"; "floes" is left to rule f.
    if (endsWith("oes") && lower != "floes")
        return ReplaceEnding(t, "oes", lastIs("OES") ? "O" : "o", false);
    // e: "pages" -> "page" (and "boxes" -> "boxe": the rule is that simple).
    if (endsWith("es") && !endsWith("ees") && !endsWith("aes") && !endsWith("oes"))
        return ReplaceEnding(t, "es", lastIs("ES") ? "E" : "e", false);
    // f: a plain final "s", except where it is part of the word ("status",
    // "analysis", "physics", "class").
    if (endsWith("s") && !endsWith("ss") && !endsWith("us") && !endsWith("is") && !endsWith("ics"))
        return t.substr(0, t.size() - 1);
    return t;
}

}  // namespace zelk
