#pragma once
// Every line the terminal mode writes goes through here, so a file name can never break the
// one-line-per-file form: a name holding a backslash, newline or carriage return is written
// as md5sum writes it ("\\", "\n", "\r", and the line starts with a backslash). Other bytes,
// invalid UTF-8 included, go out as they are.

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace qv {

bool NameNeedsEscape(std::string_view name);
// The name with '\\', '\n' and '\r' written as "\\\\", "\\n" and "\\r".
std::string EscapeName(std::string_view name);

class OutputWriter {
public:
    using Sink = std::function<void(std::string_view)>;
    OutputWriter(Sink out, Sink err) : out_(std::move(out)), err_(std::move(err)) {}

    // Standard output: the fields, two blanks apart, then the path, then the trailing field
    // when there is one: "352441C2  900150983CD24FB0D6963F7D28E17F72  /tmp/abc.txt"
    void FileLine(std::initializer_list<std::string_view> fields, std::string_view path,
                  std::string_view trailing = {}) const;
    // Standard output: a block as it stands (a report, a list).
    void Text(std::string_view text) const;
    // Standard error: one message line naming a path, prefix + path + suffix. The path is
    // always escaped here, so a backslash in a message is never ambiguous.
    void PathMessage(std::string_view prefix, std::string_view path, std::string_view suffix = {}) const;
    // Standard error: message text whose line breaks may be '\r' (message-box texts).
    void Message(std::string_view text) const;
    // Standard error as it stands (progress lines on a terminal).
    void Raw(std::string_view text) const { err_(text); }

private:
    Sink out_;
    Sink err_;
};

}  // namespace qv
