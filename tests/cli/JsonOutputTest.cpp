// zelk-cli --json: the exact bytes, and that a JSON parser (python3's)
// reads them back with numbers as numbers and texts as written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/TempDir.h"
#include "support/CliRunner.h"

namespace {

using namespace zelk::testing;

const std::string kSmallPage =
    "<html><head><title>Garden tools</title></head>\r\n"
    "<body><p>rake rake <b>spade</b></p></body></html>\r\n";

CliResult Cli(const TempDir& dir, const std::string& args) {
    return RunZelkCli(dir.path(), args, true);
}

// The object as python3 parses it, printed back in sorted, ASCII-escaped
// form; "" when it does not parse.
std::string Parsed(const TempDir& dir, const std::string& json) {
    WriteBytes(dir / "out.json", json);
    const std::string script =
        "import json,sys\n"
        "d=json.loads(open(sys.argv[1],'rb').read().decode('utf-8'))\n"
        "open(sys.argv[2],'w').write(json.dumps(d,sort_keys=True))\n";
    const std::string cmd = "python3 -c " + ShellQuote(script) + " " +
                            ShellQuote(dir / "out.json") + " " + ShellQuote(dir / "parsed.txt") +
                            " 2>/dev/null";
    if (std::system(cmd.c_str()) != 0) return "";
    return ReadBytes(dir / "parsed.txt");
}

const std::string kData = std::string("--data-dir ") + ZELK_SOURCE_DATA_DIR + " ";

TEST(JsonOutput, KeywordsGiveTheTagItsKeywordsAndTheCounts) {
    TempDir dir;
    WriteBytes(dir / "small.html", kSmallPage);
    CliResult r = Cli(dir, "keywords --json " + kData + "small.html");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "{\"file\":\"small.html\",\"tag\":\"<meta name=\\\"keywords\\\" content=\\\"Garden, "
              "tool, spade, rake\\\">\",\"keywords\":[\"Garden\",\"tool\",\"spade\",\"rake\"],"
              "\"keyword_count\":4,\"byte_count\":56}\n");
    EXPECT_NE(Parsed(dir, r.out), "");
    // A folder run shows no counts, so there are none to give.
    r = Cli(dir, "keywords --json --folder-mode " + kData + "small.html");
    EXPECT_EQ(Parsed(dir, r.out),
              "{\"file\": \"small.html\", \"keywords\": [\"Garden\", \"tool\", \"spade\", "
              "\"rake\"], \"tag\": \"<meta name=\\\"keywords\\\" content=\\\"Garden, tool, spade, "
              "rake\\\">\"}");
}

TEST(JsonOutput, WordsAreRowsOfNumbersWithTheWordInUtf8) {
    TempDir dir;
    WriteBytes(dir / "p.html",
               "<html><head><title>Caf\xE9 garden</title></head>\r\n"
               "<body><p>rake rake and</p></body></html>\r\n");
    const CliResult r = Cli(dir, "words --json " + kData + "p.html");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Parsed(dir, r.out),
              "{\"file\": \"p.html\", \"total_words\": 5, \"words\": ["
              "{\"density\": 20.0, \"frequency\": 1, \"rank\": 1, \"value\": 100, \"word\": "
              "\"Caf\\u00e9\"}, "
              "{\"density\": 20.0, \"frequency\": 1, \"rank\": 2, \"value\": 100, \"word\": "
              "\"garden\"}, "
              "{\"density\": 40.0, \"frequency\": 2, \"rank\": 3, \"value\": 7, \"word\": "
              "\"rake\"}], \"words_with_value_0\": 0}");
}

TEST(JsonOutput, ShowEscapesQuotesControlsAndBytesThatAreNotUtf8) {
    TempDir dir;
    // A name with a quote and a byte that is not UTF-8; a title with a
    // quote, a backslash, a tab and a Windows-1252 letter.
    const std::string name = "a\"\xFF.html";
    WriteBytes(dir / name,
               "<html><head>\r\n<title>Say \"hi\" \\ to\tJos\xE9</title>\r\n"
               "<meta name=\"viewport\" content=\"width=device-width\">\r\n</head></html>\r\n");
    CliResult r = Cli(dir, "show --json " + ShellQuote(name));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "{\"file\":\"a\\\"\xEF\xBF\xBD.html\",\"unix_file\":false,"
              "\"title\":\"Say \\\"hi\\\" \\\\ to\\tJos\xC3\xA9\","
              "\"viewport\":\"<meta name=\\\"viewport\\\" content=\\\"width=device-width\\\">\","
              "\"keywords\":null,\"description\":null}\n");
    EXPECT_NE(Parsed(dir, r.out), "");
    // Failures keep their messages; insert has no JSON form.
    r = Cli(dir, "show --json missing.html");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(Cli(dir, "insert --json --viewport x.html").status, 2);
}

}  // namespace
