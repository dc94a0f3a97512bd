// zelk-cli --json: every line of the output is read back by a JSON parser
// (python3's) and printed again with sorted keys and ASCII escapes, so that
// numbers must be numbers, null null, and texts the UTF-8 they stand for.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/CliRunner.h"

namespace zelk::testing {
namespace {

// Reads objects from stdin, one a line, and prints each again with sorted
// keys and ASCII escapes; fails on anything that does not parse.
const std::string kParse =
    "import json,sys\n"
    "for l in sys.stdin.buffer.read().decode('utf-8').splitlines():\n"
    "    print(json.dumps(json.loads(l),sort_keys=True))\n";

TEST(JsonOutput, EachCommandGivesWhatAJsonParserReadsBack) {
    TempDir dir;
    std::filesystem::create_directories(dir / "s");
    WriteBytes(dir / "s/index.htm",
               "<html><head><title>Garden tools</title></head>\r\n"
               "<body><p>rake rake <b>spade</b></p></body></html>\r\n");
    WriteBytes(dir / "p.html", "<title>Caf\xE9</title></head>\r\n");
    // A name with a quote and a byte that is not UTF-8; a title with a
    // quote, a backslash, a tab and a Windows-1252 letter.
    WriteBytes(dir / "a\"\xFF.html",
               "<html><head>\r\n<title>Say \"hi\" \\ to\tJos\xE9</title>\r\n"
               "<meta name=\"viewport\" content=\"width=device-width\">\r\n</head></html>\r\n");
    const std::string data = std::string("--data-dir ") + ZELK_SOURCE_DATA_DIR + " ";
    const std::string tag =
        "\"<meta name=\\\"keywords\\\" content=\\\"Garden, tool, spade, rake\\\">\"";
    // clang-format off
    const std::pair<std::string, std::string> rows[] = {
        {"keywords --json " + data + "s/index.htm",
         "{\"byte_count\": 56, \"file\": \"s/index.htm\", \"keyword_count\": 4, \"keywords\": "
         "[\"Garden\", \"tool\", \"spade\", \"rake\"], \"tag\": " + tag + "}\n"},
        {"words --json " + data + "p.html",
         "{\"file\": \"p.html\", \"total_words\": 1, \"words\": [{\"density\": 100.0, "
         "\"frequency\": 1, \"rank\": 1, \"value\": 100, \"word\": \"Caf\\u00e9\"}], "
         "\"words_with_value_0\": 0}\n"},
        {"show --json " + ShellQuote("a\"\xFF.html"),
         "{\"description\": null, \"file\": \"a\\\"\\ufffd.html\", \"keywords\": null, \"title\": "
         "\"Say \\\"hi\\\" \\\\ to\\tJos\\u00e9\", \"unix_file\": false, \"viewport\": "
         "\"<meta name=\\\"viewport\\\" content=\\\"width=device-width\\\">\"}\n"},
        // One object a file, then the summary (the page above, rewritten).
        {"batch --keywords --json s",
         "{\"file\": \"index.htm\", \"lines\": [\"New KWMT inserted.\", \"<meta "
         "name=\\\"keywords\\\" ... \\\"Garden, tool, spade, rake\\\"\"], \"number\": 1, "
         "\"tag\": " + tag + "}\n"
         "{\"files\": 1, \"message\": \"Number of files processed: 1\", \"stopped\": false, "
         "\"title\": \"Number of files\"}\n"},
    };
    // clang-format on
    for (const auto& [args, parsed] : rows) {
        // The output goes straight into the parser; the status is the parser's.
        const CliResult r =
            RunZelkCli(dir.path(), args + " | python3 -c " + ShellQuote(kParse), true);
        EXPECT_EQ(r.status, 0) << args << "\n" << r.err;
        EXPECT_EQ(r.out, parsed) << args;
    }
}

}  // namespace
}  // namespace zelk::testing
