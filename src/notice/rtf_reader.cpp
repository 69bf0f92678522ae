#include "notice/rtf_reader.h"

#include "base/cp1252.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>
#include <map>
#include <utility>

namespace saldorama {

bool RtfRun::sameFormat(const RtfRun& other) const noexcept {
    return bold == other.bold && italic == other.italic && underline == other.underline &&
           fontSizeHalfPoints == other.fontSizeHalfPoints && fontName == other.fontName &&
           hasColor == other.hasColor && color == other.color;
}

namespace {

constexpr std::size_t kMaxDepth = 1000;     // groups kept on the state stack
constexpr std::size_t kMaxWordLength = 32;  // longer control words are cut (and unknown anyway)
constexpr std::int64_t kMaxParam = 0x7FFFFFFF;
constexpr int kDefaultFontSize = 24;
constexpr int kMaxFontSize = 3276;          // 1638 pt, the most a word processor offers

// Destinations whose content never shows in the text.
constexpr std::string_view kSkippedDestinations[] = {
    "stylesheet", "info",      "pict",      "object",     "objdata",   "nonshppict",
    "shpinst",    "header",    "headerl",   "headerr",    "headerf",   "footer",
    "footerl",    "footerr",   "footerf",   "fldinst",    "footnote",  "annotation",
    "atnid",      "atnauthor", "xe",        "tc",         "txe",       "rxe",
    "pn",         "listtable", "listoverridetable",       "revtbl",    "rsidtbl",
    "filetbl",    "generator", "themedata", "colorschememapping",      "latentstyles",
    "datastore",  "falt"};

// Control words that stand for one character.
constexpr std::pair<std::string_view, char> kCharWords[] = {
    {"emdash", '\x97'}, {"endash", '\x96'}, {"bullet", '\x95'}, {"lquote", '\x91'},
    {"rquote", '\x92'}, {"ldblquote", '\x93'}, {"rdblquote", '\x94'},
    {"emspace", ' '}, {"enspace", ' '}, {"qmspace", ' '}};

bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
// Control characters other than tab have no place in the shown text.
bool is_shown(char c) { return static_cast<unsigned char>(c) >= 0x20 || c == '\t'; }

int hex_value(char c) {
    if (is_digit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

struct Token {
    enum Kind { End, Open, Close, Word, Symbol, Byte } kind = End;
    std::string word;       // Word: its name
    bool hasParam = false;  // Word: whether a number followed
    int param = 0;          // Word: the number, saturated to 32 bits
    char ch = 0;            // Symbol: the character after '\'; Byte: a text or \'hh byte
};

// Splits RTF into tokens. Every step consumes at least one byte and never
// looks past the end.
class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    Token next() {
        Token t;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == '\r' || c == '\n') continue;  // line breaks in the source are not text
            if (c == '{') { t.kind = Token::Open; return t; }
            if (c == '}') { t.kind = Token::Close; return t; }
            if (c != '\\') { t.kind = Token::Byte; t.ch = c; return t; }
            if (pos_ >= text_.size()) break;  // a lone backslash at the end
            const char d = text_[pos_++];
            if (is_letter(d)) return word(d);
            if (d == '\'') return hex_escape();
            if (d == '\r' || d == '\n') { t.kind = Token::Word; t.word = "par"; return t; }
            t.kind = Token::Symbol;
            t.ch = d;
            return t;
        }
        return t;
    }

    void skip(int count) {
        if (count > 0) pos_ += std::min<std::size_t>(static_cast<std::size_t>(count), text_.size() - pos_);
    }

private:
    [[nodiscard]] bool peek_is(bool (*pred)(char), std::size_t ahead = 0) const {
        return pos_ + ahead < text_.size() && pred(text_[pos_ + ahead]);
    }

    Token word(char first) {
        Token t;
        t.kind = Token::Word;
        t.word += first;
        for (; peek_is(is_letter); ++pos_)
            if (t.word.size() < kMaxWordLength) t.word += text_[pos_];
        const bool negative = pos_ < text_.size() && text_[pos_] == '-' && peek_is(is_digit, 1);
        if (negative) ++pos_;
        std::int64_t value = 0;
        for (; peek_is(is_digit); ++pos_) {
            t.hasParam = true;
            value = std::min(value * 10 + (text_[pos_] - '0'), kMaxParam);
        }
        t.param = static_cast<int>(negative ? -value : value);
        if (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;  // the delimiting space belongs to the word
        return t;
    }

    Token hex_escape() {
        Token t;
        const int hi = pos_ < text_.size() ? hex_value(text_[pos_]) : -1;
        const int lo = pos_ + 1 < text_.size() ? hex_value(text_[pos_ + 1]) : -1;
        if (hi >= 0 && lo >= 0) {
            pos_ += 2;
            t.kind = Token::Byte;
            t.ch = static_cast<char>(hi * 16 + lo);
        } else {
            if (hi >= 0) ++pos_;  // a broken escape and its one digit read as nothing
            t.kind = Token::Symbol;
            t.ch = '\'';
        }
        return t;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

enum class Dest { Text, FontTable, ColorTable, Skip };

// What a group restores when it ends.
struct State {
    Dest dest = Dest::Text;
    bool bold = false, italic = false, underline = false;
    int fontSize = kDefaultFontSize;
    int font = -1;
    int color = 0;
    RtfAlign align = RtfAlign::Left;
    int leftIndent = 0, firstIndent = 0;
    std::vector<int> tabStops;
    int ucSkip = 1;
};

struct ColorEntry {
    bool set = false;  // an entry without components means "automatic"
    std::uint32_t rgb = 0;
};

void drop_trailing_empty(RtfDocument& doc) {
    while (!doc.paragraphs.empty() && doc.paragraphs.back().runs.empty()) doc.paragraphs.pop_back();
}

class Reader {
public:
    explicit Reader(std::string_view rtf) : lexer_(rtf) {}

    RtfDocument run() {
        for (;;) {
            const Token t = lexer_.next();
            if (t.kind == Token::End) break;
            if (t.kind == Token::Open || t.kind == Token::Close) {
                pendingSkip_ = 0;  // a fallback never reaches past a group boundary
                if (t.kind == Token::Open) open_group();
                else if (!close_group()) break;
                continue;
            }
            // Binary data may hold any byte, braces included: step over it always.
            if (t.kind == Token::Word && t.word == "bin" && t.hasParam) lexer_.skip(t.param);
            if (pendingSkip_ > 0) {
                --pendingSkip_;  // fallback of a \u character
                continue;
            }
            if (t.kind == Token::Word) control_word(t);
            else if (t.kind == Token::Symbol) control_symbol(t.ch);
            else if (is_shown(t.ch)) put(t.ch);
        }
        if (!para_.runs.empty()) doc_.paragraphs.push_back(std::move(para_));
        drop_trailing_empty(doc_);
        return std::move(doc_);
    }

private:
    void open_group() {
        if (stack_.size() >= kMaxDepth) ++overflow_;
        else stack_.push_back(state_);
    }

    // False once the outermost group has closed: the document ends there.
    bool close_group() {
        if (overflow_ > 0) {
            --overflow_;
            return true;
        }
        if (state_.dest == Dest::FontTable) end_font_entry();  // the last ';' is sometimes missing
        if (stack_.empty()) return false;
        state_ = stack_.back();
        stack_.pop_back();
        return !stack_.empty();
    }

    void control_word(const Token& t) {
        const std::string& w = t.word;
        const int n = t.param;
        if (state_.dest == Dest::Skip) return;
        if (std::find(std::begin(kSkippedDestinations), std::end(kSkippedDestinations), w) !=
            std::end(kSkippedDestinations)) {
            state_.dest = Dest::Skip;
        } else if (w == "fonttbl") {
            state_.dest = Dest::FontTable;
        } else if (w == "colortbl") {
            state_.dest = Dest::ColorTable;
        } else if (w == "u") {
            if (t.hasParam) unicode(n);
        } else if (w == "uc") {
            state_.ucSkip = t.hasParam ? std::max(n, 0) : 1;
        } else if (state_.dest == Dest::FontTable) {
            if (w == "f") {
                end_font_entry();
                fontNumber_ = n;
            }
        } else if (state_.dest == Dest::ColorTable) {
            const auto part = static_cast<std::uint32_t>(std::clamp(n, 0, 255));
            const int shift = w == "red" ? 16 : w == "green" ? 8 : w == "blue" ? 0 : -1;
            if (shift >= 0) {
                color_.set = true;
                color_.rgb = (color_.rgb & ~(0xFFu << shift)) | (part << shift);
            }
        } else {
            text_word(w, t.hasParam, n);
        }
    }

    void text_word(const std::string& w, bool hasParam, int n) {
        const bool on = !hasParam || n != 0;
        if (w == "par" || w == "row") end_paragraph();
        else if (w == "line") put('\n');
        else if (w == "tab" || w == "cell") put('\t');
        else if (w == "pard") {
            state_.align = RtfAlign::Left;
            state_.leftIndent = state_.firstIndent = 0;
            state_.tabStops.clear();
        } else if (w == "li") state_.leftIndent = n;
        else if (w == "fi") state_.firstIndent = n;
        else if (w == "tx" && state_.tabStops.size() < 64) state_.tabStops.push_back(n);
        else if (w == "ql") state_.align = RtfAlign::Left;
        else if (w == "qc") state_.align = RtfAlign::Center;
        else if (w == "qr") state_.align = RtfAlign::Right;
        else if (w == "qj") state_.align = RtfAlign::Justify;
        else if (w == "b") state_.bold = on;
        else if (w == "i") state_.italic = on;
        else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "ulth" || w == "uldash" ||
                 w == "ulwave") state_.underline = on;
        else if (w == "ulnone") state_.underline = false;
        else if (w == "fs")
            state_.fontSize = hasParam && n > 0 ? std::min(n, kMaxFontSize) : kDefaultFontSize;
        else if (w == "f") state_.font = n;
        else if (w == "cf") state_.color = n;
        else if (w == "deff") {
            defaultFont_ = n;
            if (state_.font < 0) state_.font = n;
        } else if (w == "plain") {
            const State keep = state_;
            state_ = State{};
            state_.dest = keep.dest;
            state_.align = keep.align;
            state_.leftIndent = keep.leftIndent;
            state_.firstIndent = keep.firstIndent;
            state_.tabStops = keep.tabStops;
            state_.ucSkip = keep.ucSkip;
            state_.font = defaultFont_;
        } else {
            for (const auto& [name, ch] : kCharWords)
                if (w == name) put(ch);
        }
        // Any other word is unknown or changes nothing shown here.
    }

    void control_symbol(char c) {
        switch (c) {
        case '\\': case '{': case '}': put(c); break;
        case '~': put('\xA0'); break;  // non-breaking space
        case '_': put('-'); break;     // non-breaking hyphen; CP1252 has none of its own
        case '*': state_.dest = Dest::Skip; break;
        default: break;                // \- (optional hyphen) and the rest show nothing
        }
    }

    void unicode(int n) {
        // The parameter is a signed 16-bit number.
        const std::int64_t v = n < 0 ? std::int64_t{n} + 65536 : n;
        pendingSkip_ = state_.ucSkip;
        if (v >= 0xDC00 && v <= 0xDFFF) return;  // low surrogate: the high one already gave the '?'
        const char c = v < 0 ? '?' : cp1252_from_code_point(static_cast<char32_t>(v));
        if (is_shown(c)) put(c);
    }

    // One character of the current destination.
    void put(char c) {
        switch (state_.dest) {
        case Dest::Text: put_text(c); break;
        case Dest::FontTable:
            if (c == ';') end_font_entry();
            else fontName_ += c;
            break;
        case Dest::ColorTable:
            if (c == ';') {
                colors_.push_back(color_);
                color_ = {};
            }
            break;
        case Dest::Skip: break;
        }
    }

    void put_text(char c) {
        RtfRun format = current_format();
        take_paragraph_format();
        if (para_.runs.empty() || !para_.runs.back().sameFormat(format)) {
            format.text = std::string(1, c);
            para_.runs.push_back(std::move(format));
        } else {
            para_.runs.back().text += c;
        }
    }

    [[nodiscard]] RtfRun current_format() const {
        RtfRun r;
        r.bold = state_.bold;
        r.italic = state_.italic;
        r.underline = state_.underline;
        r.fontSizeHalfPoints = state_.fontSize;
        if (const auto it = fonts_.find(state_.font); it != fonts_.end()) r.fontName = it->second;
        if (state_.color >= 0 && static_cast<std::size_t>(state_.color) < colors_.size()) {
            const ColorEntry& e = colors_[static_cast<std::size_t>(state_.color)];
            r.hasColor = e.set;
            r.color = e.set ? e.rgb : 0;
        }
        return r;
    }

    // The properties in force at the paragraph's text and at its \par belong to it.
    void take_paragraph_format() {
        para_.align = state_.align;
        para_.leftIndentTwips = state_.leftIndent;
        para_.firstIndentTwips = state_.firstIndent;
        para_.tabStopsTwips = state_.tabStops;
    }

    void end_paragraph() {
        take_paragraph_format();
        doc_.paragraphs.push_back(std::move(para_));
        para_ = {};
    }

    void end_font_entry() {
        const auto first = fontName_.find_first_not_of(' ');
        if (first != std::string::npos && fontNumber_ >= 0)
            fonts_[fontNumber_] = fontName_.substr(first, fontName_.find_last_not_of(' ') + 1 - first);
        fontName_.clear();
        fontNumber_ = -1;
    }

    Lexer lexer_;
    State state_;
    std::vector<State> stack_;
    std::size_t overflow_ = 0;  // groups opened beyond kMaxDepth and not yet closed
    int pendingSkip_ = 0;
    int defaultFont_ = -1;
    std::map<int, std::string> fonts_;
    int fontNumber_ = -1;
    std::string fontName_;
    std::vector<ColorEntry> colors_;
    ColorEntry color_;
    RtfDocument doc_;
    RtfParagraph para_;
};

RtfDocument read_plain(std::string_view text) {
    RtfDocument doc;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", i), text.size());
        RtfParagraph p;
        if (end > i) {
            RtfRun run;
            run.text = std::string(text.substr(i, end - i));
            p.runs.push_back(std::move(run));
        }
        doc.paragraphs.push_back(std::move(p));
        i = end;
        if (i < text.size() && text[i] == '\r') ++i;
        if (i < text.size() && text[i] == '\n') ++i;
    }
    drop_trailing_empty(doc);
    return doc;
}

} // namespace

RtfDocument read_rtf(std::string_view bytes) {
    const std::size_t start = bytes.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos || bytes.substr(start, 5) != "{\\rtf") return read_plain(bytes);
    return Reader(bytes.substr(start)).run();
}

} // namespace saldorama
