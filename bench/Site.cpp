// The site of the batch bench: documentation-like pages in nested folders,
// made to resemble real pages in what the run's cost depends on. Measured
// on 1,038 real documentation pages (bench/README.md, "A whole batch run"):
// about 0.3 of a page is text once tags, scripts and styles are gone, about
// 45 words per KB, a third of a page's words distinct, a third of all words
// common English words, 30 to 35 tags and 13 attributes per KB, lines of
// about 70 bytes, most pages UTF-8. So the pages here share one vocabulary
// over the site (Zipf-distributed, with a few topic words per page), mix in
// English function words, wrap their text in short lines, and carry the
// navigation, the table of contents, the highlighted code and the tables
// that make up most of the markup of real pages.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "Bench.h"

namespace zelk::bench {

namespace {

namespace fs = std::filesystem;

// English function words, most frequent first (the first ones weigh most).
const char* const kFunctionWords[] = {
    "the", "of", "and", "to", "a", "in", "is", "that", "for", "it", "as", "with", "be", "on",
    "not", "this", "by", "are", "or", "from", "at", "an", "which", "can", "you", "if", "have",
    "was", "will", "all", "one", "has", "but", "when", "there", "more", "its", "each", "also",
    "may", "other", "any", "these", "been", "than", "only", "into", "some", "so", "would", "we",
    "they", "then", "such", "do", "how", "what", "where", "should", "must", "does", "same",
    "most", "after", "before", "between", "both", "many", "because", "while", "here", "well",
    "about", "over", "them", "our", "your", "out", "just", "like", "very", "were", "their",
    "could", "might", "through", "however", "under", "every", "within", "without", "up",
    "often", "usually", "several", "those", "no", "now", "even", "still", "much", "either"};

// Pronounceable words from syllables: a site vocabulary of tens of
// thousands of words that mostly pass the word rules.
std::vector<std::string> MakeSiteVocabulary(std::mt19937& rng, std::size_t n) {
    std::vector<std::string> words;
    words.reserve(n);
    while (words.size() < n) {
        const int syllables = 1 + static_cast<int>(rng() % 3) + (rng() % 4 == 0 ? 1 : 0);
        std::string w = PronounceableWord(rng, syllables);
        if (w.size() < 3) continue;
        words.push_back(std::move(w));
    }
    return words;
}

class SiteWriter {
public:
    explicit SiteWriter(uint32_t seed) : rng_(seed) {
        vocab_ = MakeSiteVocabulary(rng_, 30000);
        // Zipf's law (exponent 1) over the vocabulary's ranks.
        cumulative_.reserve(vocab_.size());
        double sum = 0;
        for (std::size_t r = 0; r < vocab_.size(); ++r) {
            sum += 1.0 / static_cast<double>(r + 1);
            cumulative_.push_back(sum);
        }
        double fsum = 0;
        for (std::size_t r = 0; r < std::size(kFunctionWords); ++r) {
            fsum += 1.0 / std::pow(static_cast<double>(r + 1), 0.8);
            functionCumulative_.push_back(fsum);
        }
    }

    // One page of about `bytes` bytes.
    std::string Page(std::size_t bytes, bool lfOnly, bool utf8, int number, int pages) {
        nl_ = lfOnly ? "\n" : "\r\n";
        utf8_ = utf8;
        number_ = number;
        pages_ = pages;
        // The page's own subject: a few words it uses far more than others.
        topic_.clear();
        for (int i = 0; i < 12; ++i) topic_.push_back(&vocab_[100 + rng_() % 3000]);
        std::string p;
        p.reserve(bytes + 8192);
        Head(p);
        Body(p, bytes);
        return p;
    }

private:
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(rng_() % n); }
    bool Chance(int percent) { return static_cast<int>(rng_() % 100) < percent; }

    const std::string& ContentWord() {
        if (Chance(18)) return *topic_[Below(topic_.size())];
        const double u = std::uniform_real_distribution<double>(0.0, cumulative_.back())(rng_);
        const auto it = std::lower_bound(cumulative_.begin(), cumulative_.end(), u);
        return vocab_[static_cast<std::size_t>(it - cumulative_.begin())];
    }
    std::string FunctionWord() {
        const double u =
            std::uniform_real_distribution<double>(0.0, functionCumulative_.back())(rng_);
        const auto it = std::lower_bound(functionCumulative_.begin(), functionCumulative_.end(), u);
        return kFunctionWords[it - functionCumulative_.begin()];
    }
    std::string Word() {
        if (Chance(52)) return FunctionWord();
        std::string w = ContentWord();
        if (Chance(12)) w += "s";
        return w;
    }
    static std::string Capital(std::string w) {
        if (!w.empty() && w[0] >= 'a' && w[0] <= 'z') w[0] = static_cast<char>(w[0] - 32);
        return w;
    }
    // A few words, as in a heading or a link.
    std::string Words(int n) {
        std::string s;
        for (int i = 0; i < n; ++i) {
            if (i) s += ' ';
            s += i == 0 ? Capital(ContentWord()) : Word();
        }
        return s;
    }
    std::string Identifier() {
        std::string id = ContentWord();
        if (Chance(50)) id += "_" + ContentWord();
        if (Chance(15)) id += std::to_string(Below(10));
        return id;
    }
    // Non-ASCII text as the page's encoding writes it.
    std::string Special() {
        static const char* const kUtf8[] = {"\xE2\x80\x99", "\xE2\x80\x94", "\xC3\xA9",
                                            "\xE2\x80\x9C", "\xE2\x80\x9D", "\xC3\xBC"};
        static const char* const kCp1252[] = {"\x92", "\x97", "\xE9", "\x93", "\x94", "\xFC"};
        const std::size_t i = Below(std::size(kUtf8));
        return utf8_ ? kUtf8[i] : kCp1252[i];
    }
    // Running text: sentences with inline markup, wrapped at about 75 bytes.
    std::string Text(int sentences, std::size_t indent = 0) {
        std::string out, line(indent, ' ');
        auto put = [&](const std::string& piece) {
            if (line.size() > indent && line.size() + piece.size() > 75) {
                out += line + nl_;
                line.assign(indent, ' ');
            } else if (line.size() > indent) {
                line += ' ';
            }
            line += piece;
        };
        for (int s = 0; s < sentences; ++s) {
            const int n = 7 + static_cast<int>(Below(16));
            for (int i = 0; i < n; ++i) {
                std::string w = i == 0 ? Capital(Word()) : Word();
                const int r = static_cast<int>(Below(100));
                if (r < 5) w = "<code>" + Identifier() + "</code>";
                else if (r < 8) w = "<a href=\"" + Href() + "\">" + w + " " + Word() + "</a>";
                else if (r < 10) w = "<em>" + w + "</em>";
                else if (r < 11) w = "<strong>" + w + "</strong>";
                else if (r < 12) w += " &amp;";
                else if (r < 13) w += Special();
                if (i + 1 == n) w += Chance(90) ? "." : ":";
                else if (Chance(7)) w += ",";
                put(w);
            }
        }
        out += line;
        return out;
    }
    std::string Href() {
        const int section = static_cast<int>(Below(10));
        return "../section-" + std::to_string(section) + "/page-" +
               std::to_string(Below(static_cast<std::size_t>(std::max(pages_, 1)))) + ".html";
    }
    std::string Slug(const std::string& words) {
        std::string s;
        for (char c : words) s += c == ' ' ? '-' : static_cast<char>(c | 0x20);
        return s;
    }

    void Head(std::string& p) {
        const std::string title = Words(4);
        p += "<!DOCTYPE html>" + nl_ + "<html lang=\"en\" class=\"light\">" + nl_ + "<head>" + nl_;
        p += utf8_ ? "<meta charset=\"UTF-8\">" : "<meta charset=\"windows-1252\">";
        p += nl_ + "<title>" + title + " - " + "Handbook</title>" + nl_;
        p += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">" + nl_;
        p += "<meta name=\"description\" content=\"" + Words(14) + "\">" + nl_;
        if (number_ % 3 == 0) p += "<meta name=\"keywords\" content=\"" + Words(6) + "\">" + nl_;
        p += "<link rel=\"stylesheet\" href=\"../css/general.css\">" + nl_;
        p += "<link rel=\"stylesheet\" href=\"../css/highlight.css\">" + nl_;
        p += "<link rel=\"icon\" href=\"../favicon.svg\">" + nl_;
        p += "<script src=\"../js/search.js\" defer></script>" + nl_;
        p += "<style>" + nl_ + "  .note { border-left: 4px solid #4a90d9; padding: 0 1em; }" + nl_ +
             "  pre code { font-size: 0.875em; }" + nl_ + "</style>" + nl_;
        p += "</head>" + nl_;
    }

    // Inline icons, as many sites carry them in every page: markup without
    // a word of text.
    void Icons(std::string& p) {
        p += "<div class=\"right-buttons\">" + nl_;
        for (int icon = 0; icon < 4; ++icon) {
            p += "<button class=\"icon-button\" type=\"button\" title=\"" + Words(1) +
                 "\" aria-label=\"" + Words(1) + "\">" + nl_;
            p += "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 512 512\" "
                 "class=\"fa-svg\"><path d=\"M";
            for (int k = 0; k < 48; ++k)
                p += std::to_string(Below(512)) + "." + std::to_string(Below(10)) + " " +
                     std::to_string(Below(512)) + (k % 6 == 5 ? "c" : " ");
            p += "z\"/></svg>" + nl_ + "</button>" + nl_;
        }
        p += "</div>" + nl_;
    }

    void Navigation(std::string& p) {
        p += "<div id=\"top\" class=\"header\"><a class=\"logo\" href=\"../index.html\">Handbook</a>" + nl_;
        Icons(p);
        p += "<nav class=\"menu\" aria-label=\"Sections\"><ul>" + nl_;
        for (int i = 0; i < 10; ++i)
            p += "<li><a href=\"../section-" + std::to_string(i) + "/index.html\">" + Words(2) +
                 "</a></li>" + nl_;
        p += "</ul></nav></div>" + nl_;
        p += "<div class=\"wrapper\"><aside class=\"sidebar\"><ol class=\"chapter\">" + nl_;
        for (int i = 1; i <= 24; ++i)
            p += "<li class=\"chapter-item\"><a href=\"" + Href() + "\"><strong aria-hidden=\"true\">" +
                 std::to_string(i) + ".</strong> " + Words(2 + static_cast<int>(Below(3))) +
                 "</a></li>" + nl_;
        p += "</ol></aside>" + nl_;
    }

    void CodeBlock(std::string& p) {
        static const char* const kKeywords[] = {"fn", "let", "if", "return", "for", "in",
                                                "const", "struct", "match", "else", "pub", "use"};
        p += "<pre><code class=\"language-rust\">";
        const int lines = 4 + static_cast<int>(Below(10));
        for (int l = 0; l < lines; ++l) {
            if (l) p += nl_;
            p += std::string(4 * Below(3), ' ');
            switch (Below(4)) {
                case 0:
                    p += "<span class=\"hljs-keyword\">" +
                         std::string(kKeywords[Below(std::size(kKeywords))]) + "</span> " +
                         Identifier() + " = <span class=\"hljs-number\">" +
                         std::to_string(Below(100)) + "</span>;";
                    break;
                case 1:
                    p += Identifier() + ".<span class=\"hljs-title\">" + Identifier() + "</span>(" +
                         Identifier() + ");";
                    break;
                case 2:
                    p += "<span class=\"hljs-keyword\">" +
                         std::string(kKeywords[Below(std::size(kKeywords))]) +
                         "</span> <span class=\"hljs-title\">" + Identifier() + "</span>(" +
                         Identifier() + ": <span class=\"hljs-type\">" + Capital(ContentWord()) +
                         "</span>) {";
                    break;
                default: p += "<span class=\"hljs-comment\">// " + Words(4) + "</span>"; break;
            }
        }
        p += "</code></pre>" + nl_;
    }

    void Body(std::string& p, std::size_t bytes) {
        p += "<body class=\"sidebar-visible\">" + nl_;
        Navigation(p);
        p += "<main class=\"content\">" + nl_;
        const std::string h1 = Words(3);
        p += "<h1 id=\"" + Slug(h1) + "\"><a class=\"header\" href=\"#" + Slug(h1) + "\">" + h1 +
             "</a></h1>" + nl_;
        const std::size_t footer = 600;
        int block = 0;
        while (p.size() + footer < bytes) {
            switch (block++ % 10) {
                case 0:
                case 3:
                case 6: p += "<p>" + Text(1 + static_cast<int>(Below(3))) + "</p>" + nl_; break;
                case 1: {
                    const std::string h = Words(2 + static_cast<int>(Below(3)));
                    p += "<h2 id=\"" + Slug(h) + "\"><a class=\"header\" href=\"#" + Slug(h) +
                         "\">" + h + "</a></h2>" + nl_;
                    break;
                }
                case 2:
                case 7: CodeBlock(p); break;
                case 4:
                    p += "<ul>" + nl_;
                    for (int i = 0; i < 3 + static_cast<int>(Below(4)); ++i)
                        p += "<li>" + Text(1, 2) + "</li>" + nl_;
                    p += "</ul>" + nl_;
                    break;
                case 5:
                    p += "<table>" + nl_ + "<thead><tr><th>Name</th><th>Type</th><th>Meaning</th></tr></thead>" +
                         nl_ + "<tbody>" + nl_;
                    for (int i = 0; i < 3 + static_cast<int>(Below(5)); ++i)
                        p += "<tr><td><code>" + Identifier() + "</code></td><td><code>" +
                             Capital(ContentWord()) + "</code></td><td>" + Words(4) + "</td></tr>" + nl_;
                    p += "</tbody>" + nl_ + "</table>" + nl_;
                    break;
                case 8:
                    p += "<div class=\"note\">" + nl_ + "<p><strong>Note:</strong> " + Text(2) +
                         "</p>" + nl_ + "</div>" + nl_;
                    break;
                default:
                    p += "<!-- " + Words(5) + " -->" + nl_;
                    p += "<p>" + Text(1) + " <a href=\"" + Href() + "\">" + Words(3) + "</a>.</p>" + nl_;
                    break;
            }
        }
        p += "<nav class=\"nav-wrapper\" aria-label=\"Page navigation\">" + nl_;
        p += "<a rel=\"prev\" href=\"" + Href() + "\" class=\"nav-chapters previous\" title=\"Previous\">&larr;</a>" + nl_;
        p += "<a rel=\"next\" href=\"" + Href() + "\" class=\"nav-chapters next\" title=\"Next\">&rarr;</a>" + nl_;
        p += "</nav>" + nl_ + "</main></div>" + nl_;
        p += "<footer class=\"footer\"><p>&copy; 2024 " + Words(3) + ". " + Words(5) + "</p></footer>" + nl_;
        p += "<script>" + nl_ + "  window.playground_copyable = true;" + nl_ +
             "  document.querySelectorAll('pre code').forEach(function (b) { b.classList.add('hljs'); });" +
             nl_ + "  var theme = localStorage.getItem('theme') || 'light';" + nl_ +
             "  document.documentElement.classList.remove('light');" + nl_ +
             "  document.documentElement.classList.add(theme);" + nl_ +
             "  var sidebar = document.querySelector('.sidebar');" + nl_ +
             "  if (window.innerWidth < 1080) { sidebar.setAttribute('aria-hidden', 'true'); }" + nl_ +
             "  var active = sidebar.querySelector('a[href=\"' + location.pathname.split('/').pop() + '\"]');" + nl_ +
             "  if (active) { active.classList.add('active'); active.scrollIntoView({block: 'center'}); }" + nl_ +
             "</script>" + nl_;
        p += "</body>" + nl_ + "</html>" + nl_;
    }

    std::mt19937 rng_;
    std::vector<std::string> vocab_;
    std::vector<double> cumulative_;
    std::vector<double> functionCumulative_;
    std::vector<const std::string*> topic_;
    std::string nl_;
    bool utf8_ = true;
    int number_ = 0;
    int pages_ = 0;
};

}  // namespace

int WriteSite(const std::string& root, int pages, int mb) {
    if (pages < 1 || mb < 1) return 2;
    const std::size_t mean = (static_cast<std::size_t>(mb) << 20) / static_cast<std::size_t>(pages);
    SiteWriter writer(2024);
    std::size_t total = 0;
    for (int i = 0; i < pages; ++i) {
        const int top = i % 10, sub = (i / 10) % 6;  // sub 5: the top folder itself
        fs::path folder = fs::path(root) / ("section-" + std::to_string(top));
        if (sub < 5) folder /= "part-" + std::to_string(sub);
        fs::create_directories(folder);
        // Half the pages with LF line ends, seven in eight in UTF-8; sizes
        // from half to one and a half times the mean.
        const bool lf = i % 2 == 1;
        const bool utf8 = i % 8 != 3;
        const std::size_t size = mean / 2 + (static_cast<std::size_t>(i) * 7919 % 1000) * mean / 1000;
        const std::string page = writer.Page(size, lf, utf8, i, pages);
        total += page.size();
        std::ofstream out(folder / ("page-" + std::to_string(i) + ".html"), std::ios::binary);
        out.write(page.data(), static_cast<std::streamsize>(page.size()));
    }
    std::printf("%d pages, %.1f MB in %s\n", pages, static_cast<double>(total) / 1048576.0,
                root.c_str());
    return 0;
}

}  // namespace zelk::bench
