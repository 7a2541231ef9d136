#include "cli/OutputWriter.h"

namespace qv {

bool NameNeedsEscape(std::string_view name)
{
    return name.find_first_of("\\\n\r") != std::string_view::npos;
}

std::string EscapeName(std::string_view name)
{
    std::string out;
    out.reserve(name.size() + 8);
    for (const char c : name) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

void OutputWriter::FileLine(std::initializer_list<std::string_view> fields, std::string_view path,
                            std::string_view trailing) const
{
    const bool escape = NameNeedsEscape(path);
    std::string line;
    line.reserve(path.size() + 64);
    if (escape) line += '\\';
    for (const std::string_view f : fields) {
        line += f;
        line += "  ";
    }
    if (escape)
        line += EscapeName(path);
    else
        line += path;
    if (!trailing.empty()) {
        line += "  ";
        line += trailing;
    }
    line += '\n';
    out_(line);
}

void OutputWriter::Text(std::string_view text) const { out_(text); }

void OutputWriter::PathMessage(std::string_view prefix, std::string_view path, std::string_view suffix) const
{
    std::string line(prefix);
    line += EscapeName(path);
    line += suffix;
    line += '\n';
    err_(line);
}

void OutputWriter::Message(std::string_view text) const
{
    std::string lines(text);
    for (char& c : lines)
        if (c == '\r') c = '\n';
    if (lines.empty() || lines.back() != '\n') lines += '\n';
    err_(lines);
}

}  // namespace qv
