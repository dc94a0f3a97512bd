#include "analysis/WordTally.h"

#include <cstring>

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

std::size_t SingularInto(std::string_view t, std::string_view lower, char* out) {
    const std::size_t n = t.size();
    auto keep = [&](std::size_t k, std::string_view tail) {
        std::memcpy(out, t.data(), k);
        // An empty tail has no data pointer, and memcpy must not be given none.
        if (!tail.empty()) std::memcpy(out + k, tail.data(), tail.size());
        return k + tail.size();
    };
    auto ends = [&](std::string_view ending) { return lower.ends_with(ending); };
    auto endsExactly = [&](std::string_view ending) { return t.ends_with(ending); };
    const char last = lower[n - 1];
    if (n <= 2 || (last != 's' && last != 'e') || t == std::string_view("Windows") || lower == std::string_view("rights"))
        return keep(n, {});
    if (lower == std::string_view("mice") || lower == std::string_view("lice"))
        return keep(1, IsAllCapitals(t.substr(0, 1)) ? "OUSE" : "ouse");
    if (ends("ies") && !ends("aies") && !ends("eies") && n >= 5) return keep(n - 3, endsExactly("IES") ? "Y" : "y");
    if (ends("shes") || ends("sses") || ends("zzes")) return keep(n - 2, {});
    if (ends("oes") && lower != std::string_view("floes")) return keep(n - 3, endsExactly("OES") ? "O" : "o");
    if (ends("es") && !ends("ees") && !ends("aes") && !ends("oes")) return keep(n - 2, endsExactly("ES") ? "E" : "e");
    if (ends("s") && !ends("ss") && !ends("us") && !ends("is") && !ends("ics")) return keep(n - 1, {});
    return keep(n, {});
}

}  // namespace zelk
