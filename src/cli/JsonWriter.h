// A small writer of compact JSON for zelk-cli's --json output: one object
// per line, texts in UTF-8, numbers as numbers. Commands build their object
// with it; the batch command writes one object per file the same way.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelk::cli {

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // The name of the next member; only inside an object.
    JsonWriter& Key(std::string_view name);

    // A UTF-8 text. Bytes that are not valid UTF-8 become U+FFFD, so the
    // output stays valid JSON whatever a file name holds.
    JsonWriter& String(std::string_view utf8);
    // A Windows-1252 text (the program's own texts), converted to UTF-8.
    JsonWriter& Cp1252(std::string_view text);
    JsonWriter& Int(long long n);
    // A number with a fixed count of decimals ("3.98"); a value that is not
    // finite is written as null, which JSON has no number for.
    JsonWriter& Fixed(double x, int decimals);
    JsonWriter& Bool(bool b);
    JsonWriter& Null();

    // The text written so far.
    const std::string& Text() const { return out_; }

private:
    void BeforeValue();

    std::string out_;
    // One entry per open object or array: true once it holds a member.
    std::vector<bool> hasMember_;
    bool afterKey_ = false;
};

// text as a JSON string literal, quotes included (the escaping of String).
std::string JsonQuoted(std::string_view utf8);

}  // namespace zelk::cli
