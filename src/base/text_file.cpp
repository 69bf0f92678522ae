#include "base/text_file.h"

#include "base/file.h"

namespace saldorama {

std::vector<std::string> split_lines(std::string_view bytes, LineEnds ends) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\n') {
            std::size_t end = i;
            if (end > start && bytes[end - 1] == '\r') --end;
            lines.emplace_back(bytes.substr(start, end - start));
            start = i + 1;
        } else if (c == '\r' && ends == LineEnds::CrLfLfOrCr) {
            lines.emplace_back(bytes.substr(start, i - start));
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
    return lines;
}

std::vector<std::string> read_text_lines(const std::string& bareName, LineEnds ends) {
    return split_lines(read_file(resolve_name(bareName)), ends);
}

std::string join_crlf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

} // namespace saldorama
