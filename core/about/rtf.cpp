#include "core/about/rtf.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <map>
#include <utility>

#include "core/base/digits.h"

namespace latchsweep {
namespace {

// Groups nested deeper than this share the innermost state, so that a hostile document cannot
// make the reader's memory grow with its nesting.
constexpr std::size_t kMaxDepth = 256;
constexpr int kDefaultHalfPoints = 24; // 12 pt, the size a document has before any \fs
constexpr std::int64_t kParameterLimit = 0x7FFFFFFF;

constexpr char32_t kReplacement = kReplacementCharacter;

enum class Destination { Text, Skip, FontTable, ColourTable };

enum class Word {
    Skip, // a destination whose content is not text
    FontTable,
    ColourTable,
    AnsiCodePage,
    Charset,
    Character, // stands for one character
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Hidden,
    FontSize,
    Font,
    DefaultFont,
    Colour,
    Plain,
    Unicode,
    UnicodeSkip,
    Binary,
    Red,
    Green,
    Blue,
};

struct WordEntry {
    std::string_view name;
    Word word;
    char32_t character = 0;
};

// Sorted by name for the binary search; control words not listed here or below have no effect.
constexpr std::array kWords{
    WordEntry{"ansicpg", Word::AnsiCodePage},
    WordEntry{"b", Word::Bold},
    WordEntry{"bin", Word::Binary},
    WordEntry{"blue", Word::Blue},
    WordEntry{"bullet", Word::Character, 0x2022},
    WordEntry{"cell", Word::Character, U'\t'},
    WordEntry{"cf", Word::Colour},
    WordEntry{"colortbl", Word::ColourTable},
    WordEntry{"deff", Word::DefaultFont},
    WordEntry{"emdash", Word::Character, 0x2014},
    WordEntry{"emspace", Word::Character, 0x2003},
    WordEntry{"endash", Word::Character, 0x2013},
    WordEntry{"enspace", Word::Character, 0x2002},
    WordEntry{"f", Word::Font},
    WordEntry{"fcharset", Word::Charset},
    WordEntry{"fonttbl", Word::FontTable},
    WordEntry{"fs", Word::FontSize},
    WordEntry{"green", Word::Green},
    WordEntry{"i", Word::Italic},
    WordEntry{"ldblquote", Word::Character, 0x201C},
    WordEntry{"line", Word::Character, U'\n'},
    WordEntry{"lquote", Word::Character, 0x2018},
    WordEntry{"page", Word::Character, U'\n'},
    WordEntry{"par", Word::Character, U'\n'},
    WordEntry{"plain", Word::Plain},
    WordEntry{"rdblquote", Word::Character, 0x201D},
    WordEntry{"red", Word::Red},
    WordEntry{"row", Word::Character, U'\n'},
    WordEntry{"rquote", Word::Character, 0x2019},
    WordEntry{"sect", Word::Character, U'\n'},
    WordEntry{"strike", Word::Strike},
    WordEntry{"striked", Word::Strike},
    WordEntry{"tab", Word::Character, U'\t'},
    WordEntry{"u", Word::Unicode},
    WordEntry{"uc", Word::UnicodeSkip},
    WordEntry{"ulnone", Word::UnderlineNone},
    WordEntry{"v", Word::Hidden},
};
static_assert(std::ranges::is_sorted(kWords, {}, &WordEntry::name));

// Destinations whose content is not text, sorted.
constexpr std::string_view kSkippedDestinations[]{
    "annotation", "atnauthor", "atnid",      "author",     "buptim",       "colorschememapping",
    "comment",    "creatim",   "datastore",  "doccomm",    "docvar",       "filetbl",
    "fldinst",    "footer",    "footerf",    "footerl",    "footerr",      "footnote",
    "ftncn",      "ftnsep",    "ftnsepc",    "generator",  "header",       "headerf",
    "headerl",    "headerr",   "info",       "keywords",   "latentstyles", "listoverridetable",
    "listtable",  "mmathPr",   "nonshppict", "object",     "operator",     "pgdsctbl",
    "pict",       "pntxta",    "pntxtb",     "printim",    "private",      "revtbl",
    "revtim",     "rsidtbl",   "rxe",        "stylesheet", "subject",      "tc",
    "template",   "themedata", "title",      "txe",        "userprops",    "xe",
    "xmlnstbl"};
static_assert(std::ranges::is_sorted(kSkippedDestinations));

// Every kind of underline, sorted.
constexpr std::string_view kUnderlines[]{"ul",         "uld",       "uldash",     "uldashd", "uldashdd", "uldb",
                                         "ulhwave",    "ulldash",   "ulth",       "ulthd",   "ulthdash", "ulthdashd",
                                         "ulthdashdd", "ulthldash", "ululdbwave", "ulw",     "ulwave"};
static_assert(std::ranges::is_sorted(kUnderlines));

std::optional<WordEntry> findWord(std::string_view name)
{
    if (std::ranges::binary_search(kSkippedDestinations, name))
        return WordEntry{name, Word::Skip};
    if (std::ranges::binary_search(kUnderlines, name))
        return WordEntry{name, Word::Underline};
    const auto found = std::ranges::lower_bound(kWords, name, {}, &WordEntry::name);
    return found != kWords.end() && found->name == name ? std::optional(*found) : std::nullopt;
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// What a group carries: where its text goes and the character format it is written in.
struct GroupState {
    Destination destination = Destination::Text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    int halfPoints = kDefaultHalfPoints;
    int font = -1; // -1: the document's default font
    int colour = 0;
    int unicodeSkip = 1;

    void resetCharacterFormat()
    {
        bold = italic = underline = strike = hidden = false;
        halfPoints = kDefaultHalfPoints;
        font = -1;
        colour = 0;
    }
};

class Reader {
public:
    Reader(std::string_view document, const TextDecoding& decoding)
        : in_(document),
          rawUtf8_(isUtf8(document)),
          decoding_(decoding)
    {}

    RtfDocument read()
    {
        while (pos_ < in_.size() && !ended_) {
            const char c = in_[pos_++];
            switch (c) {
            case '{':
                openGroup();
                break;
            case '}':
                closeGroup();
                break;
            case '\\':
                escape();
                break;
            case '\r':
            case '\n':
                break; // line breaks of the source are not text
            default:
                rawCharacter(c);
                break;
            }
        }
        flushBytes();
        flushSurrogate();
        return {std::move(runs_), ansiCodePage_};
    }

private:
    void openGroup()
    {
        flushBytes();
        pendingSkip_ = 0;
        if (stack_.size() < kMaxDepth)
            stack_.push_back(state_);
        else
            ++flattened_;
        starred_ = false;
    }

    void closeGroup()
    {
        flushBytes();
        pendingSkip_ = 0;
        starred_ = false;
        if (flattened_ > 0) {
            --flattened_;
            return;
        }
        if (stack_.empty())
            return; // a stray brace
        if (state_.destination == Destination::FontTable)
            commitFont();
        state_ = stack_.back();
        stack_.pop_back();
        formatChanged_ = true;
        // The document ends with its outermost group; whatever follows is not part of it.
        if (stack_.empty())
            ended_ = true;
    }

    // After a backslash: a control word, a control symbol or a hexadecimal character.
    void escape()
    {
        if (pos_ >= in_.size())
            return;
        const char c = in_[pos_];
        if (isLetter(c)) {
            controlWord();
            return;
        }
        ++pos_;
        if (c == '\'') {
            int value = 0;
            int digits = 0;
            while (digits < 2 && pos_ < in_.size() && hexDigitValue(in_[pos_]) >= 0) {
                value = value * 16 + hexDigitValue(in_[pos_++]);
                ++digits;
            }
            if (skipCounted() || digits < 2)
                return;
            byte(static_cast<unsigned char>(value));
            return;
        }
        if (skipCounted())
            return;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            character(static_cast<char32_t>(c));
            break;
        case '~':
            character(0x00A0);
            break;
        case '_':
            character(0x2011);
            break;
        case '*':
            starred_ = true;
            break;
        case '\r':
        case '\n':
            character(U'\n');
            break;
        default:
            break; // optional hyphens, index marks and the like have no text
        }
    }

    void controlWord()
    {
        flushBytes(); // the word may change the font and with it the code page
        const std::size_t start = pos_;
        while (pos_ < in_.size() && isLetter(in_[pos_]))
            ++pos_;
        const std::string_view name = in_.substr(start, pos_ - start);
        bool negative = false;
        if (pos_ + 1 < in_.size() && in_[pos_] == '-' && isDecimalDigit(in_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        bool hasParameter = false;
        std::int64_t parameter = 0;
        while (pos_ < in_.size() && isDecimalDigit(in_[pos_])) {
            hasParameter = true;
            parameter = std::min(parameter * 10 + (in_[pos_++] - '0'), kParameterLimit);
        }
        if (negative)
            parameter = -parameter;
        if (pos_ < in_.size() && in_[pos_] == ' ')
            ++pos_; // the delimiting space belongs to the word
        const bool starred = std::exchange(starred_, false);
        const std::optional<WordEntry> entry = findWord(name);
        if (entry && entry->word == Word::Binary) {
            // Raw bytes follow; they may hold braces and backslashes of no meaning.
            const auto length = static_cast<std::size_t>(std::max<std::int64_t>(parameter, 0));
            pos_ += std::min(length, in_.size() - pos_);
            skipCounted();
            return;
        }
        if (skipCounted())
            return;
        // A destination marked with \* is optional: none of them holds text worth showing.
        if (starred) {
            state_.destination = Destination::Skip;
            return;
        }
        if (entry)
            apply(*entry, hasParameter, static_cast<int>(parameter));
    }

    void apply(const WordEntry& entry, bool hasParameter, int parameter)
    {
        const bool on = !hasParameter || parameter != 0;
        switch (entry.word) {
        case Word::Skip:
            state_.destination = Destination::Skip;
            return;
        case Word::FontTable:
            if (state_.destination != Destination::Skip)
                state_.destination = Destination::FontTable;
            return;
        case Word::ColourTable:
            if (state_.destination != Destination::Skip)
                state_.destination = Destination::ColourTable;
            return;
        case Word::Character:
            character(entry.character);
            return;
        case Word::Unicode: {
            // A signed 16-bit value; negative ones stand for code units above 0x7FFF.
            int unit = parameter;
            if (unit < 0)
                unit += 0x10000;
            if (hasParameter && unit >= 0 && unit <= 0xFFFF)
                codeUnit(static_cast<char16_t>(unit));
            pendingSkip_ = state_.unicodeSkip;
            return;
        }
        case Word::UnicodeSkip:
            state_.unicodeSkip = std::clamp(parameter, 0, 16);
            return;
        case Word::Red:
        case Word::Green:
        case Word::Blue: {
            std::uint8_t& component = entry.word == Word::Red     ? tableColour_.red
                                      : entry.word == Word::Green ? tableColour_.green
                                                                  : tableColour_.blue;
            component = static_cast<std::uint8_t>(std::clamp(parameter, 0, 255));
            tableColourSet_ = true;
            return;
        }
        case Word::AnsiCodePage:
            if (hasParameter && parameter > 0)
                ansiCodePage_ = static_cast<unsigned>(parameter);
            return;
        case Word::Charset:
            if (state_.destination == Destination::FontTable && tableFont_ >= 0)
                fontCodePages_[tableFont_] = codePageOfCharset(parameter);
            return;
        case Word::DefaultFont:
            defaultFont_ = parameter;
            formatChanged_ = true;
            return;
        case Word::Font:
            if (state_.destination == Destination::FontTable) {
                commitFont();
                tableFont_ = parameter;
                return;
            }
            state_.font = parameter;
            break;
        case Word::Bold:
            state_.bold = on;
            break;
        case Word::Italic:
            state_.italic = on;
            break;
        case Word::Underline:
            state_.underline = on;
            break;
        case Word::UnderlineNone:
            state_.underline = false;
            break;
        case Word::Strike:
            state_.strike = on;
            break;
        case Word::Hidden:
            state_.hidden = on;
            break;
        case Word::FontSize:
            state_.halfPoints = hasParameter && parameter > 0 ? std::min(parameter, 3276) : kDefaultHalfPoints;
            break;
        case Word::Colour:
            state_.colour = std::max(parameter, 0);
            break;
        case Word::Plain:
            state_.resetCharacterFormat();
            break;
        case Word::Binary:
            return;
        }
        formatChanged_ = true;
    }

    // One character of the source that is not markup.
    void rawCharacter(char c)
    {
        char32_t codePoint = static_cast<unsigned char>(c);
        if (codePoint >= 0x80) {
            // A document that is valid UTF-8 throughout was written by a UTF-8 editor; otherwise
            // stray high bytes are single-byte text as escapes are.
            std::size_t length = 0;
            if (rawUtf8_)
                length = utf8SequenceLength(in_.substr(pos_ - 1), codePoint);
            if (length > 1) {
                pos_ += length - 1;
            } else {
                if (!skipCounted())
                    byte(static_cast<unsigned char>(c));
                return;
            }
        }
        if (skipCounted())
            return;
        character(codePoint);
    }

    // The code page of single-byte text here: the font's charset, else the document's, else the
    // system's. A system whose text is UTF-8 names no code page for a document's bytes: \ansi's
    // own, Windows-1252, stands.
    [[nodiscard]] unsigned codePage() const
    {
        const auto font = fontCodePages_.find(state_.font >= 0 ? state_.font : defaultFont_);
        if (font != fontCodePages_.end() && font->second != 0)
            return font->second;
        const unsigned system = decoding_.codePage == kCodePageUtf8 ? kCodePageWindows1252 : decoding_.codePage;
        return ansiCodePage_.value_or(system);
    }

    // Bytes of a code page are gathered and converted together: in the double-byte code pages
    // (932, 936, 949, 950) a character takes two.
    void byte(unsigned char value)
    {
        const unsigned page = codePage();
        if (!bytes_.empty() && page != bytesCodePage_)
            flushBytes();
        bytesCodePage_ = page;
        bytes_ += static_cast<char>(value);
    }

    void flushBytes()
    {
        if (bytes_.empty())
            return;
        const std::string text = decodeCodePage(bytes_, bytesCodePage_, decoding_);
        bytes_.clear();
        std::string_view rest = text;
        while (!rest.empty()) {
            char32_t codePoint = static_cast<unsigned char>(rest.front());
            const std::size_t length = codePoint < 0x80 ? 1 : utf8SequenceLength(rest, codePoint);
            emit(length == 0 ? kReplacement : codePoint);
            rest.remove_prefix(std::max<std::size_t>(length, 1));
        }
    }

    // After \uN the next characters are the stand-in for readers that do not know \u.
    bool skipCounted()
    {
        if (pendingSkip_ <= 0)
            return false;
        --pendingSkip_;
        return true;
    }

    void codeUnit(char16_t unit)
    {
        if (unit >= 0xDC00 && unit <= 0xDFFF && highSurrogate_ != 0) {
            const char32_t high = std::exchange(highSurrogate_, 0);
            character(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00u));
            return;
        }
        flushSurrogate();
        if (unit >= 0xD800 && unit <= 0xDBFF)
            highSurrogate_ = unit;
        else
            character(unit);
    }

    void flushSurrogate()
    {
        if (highSurrogate_ != 0) {
            highSurrogate_ = 0;
            character(kReplacement);
        }
    }

    void character(char32_t c)
    {
        flushBytes();
        emit(c);
    }

    void emit(char32_t c)
    {
        if (highSurrogate_ != 0 && !(c >= 0xDC00 && c <= 0xDFFF))
            flushSurrogate();
        switch (state_.destination) {
        case Destination::Skip:
            return;
        case Destination::FontTable:
            if (c == U';')
                commitFont();
            else
                appendUtf8(tableFontName_, c);
            return;
        case Destination::ColourTable:
            if (c == U';') {
                colours_.push_back(tableColourSet_ ? std::optional(tableColour_) : std::nullopt);
                tableColour_ = {};
                tableColourSet_ = false;
            }
            return;
        case Destination::Text:
            break;
        }
        if (state_.hidden)
            return;
        if (formatChanged_ || runs_.empty()) {
            formatChanged_ = false;
            RtfFormat format = currentFormat();
            if (runs_.empty() || runs_.back().format != format)
                runs_.push_back({{}, std::move(format)});
        }
        appendUtf8(runs_.back().text, c);
    }

    RtfFormat currentFormat() const
    {
        RtfFormat format;
        format.bold = state_.bold;
        format.italic = state_.italic;
        format.underline = state_.underline;
        format.strike = state_.strike;
        format.halfPoints = state_.halfPoints;
        const auto font = fonts_.find(state_.font >= 0 ? state_.font : defaultFont_);
        if (font != fonts_.end())
            format.family = font->second;
        if (state_.colour >= 0 && static_cast<std::size_t>(state_.colour) < colours_.size())
            format.colour = colours_[static_cast<std::size_t>(state_.colour)];
        return format;
    }

    void commitFont()
    {
        const auto first = tableFontName_.find_first_not_of(" \t");
        if (tableFont_ >= 0 && first != std::string::npos) {
            const auto last = tableFontName_.find_last_not_of(" \t");
            fonts_[tableFont_] = tableFontName_.substr(first, last - first + 1);
        }
        tableFontName_.clear();
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    bool rawUtf8_;
    const TextDecoding& decoding_;
    std::optional<unsigned> ansiCodePage_;
    std::map<int, unsigned> fontCodePages_;
    std::string bytes_; // single-byte text not yet converted, all in bytesCodePage_
    unsigned bytesCodePage_ = kCodePageWindows1252;
    bool ended_ = false;

    GroupState state_;
    std::vector<GroupState> stack_;
    std::size_t flattened_ = 0;
    bool starred_ = false;
    int pendingSkip_ = 0;
    char16_t highSurrogate_ = 0;

    std::map<int, std::string> fonts_;
    int defaultFont_ = 0;
    int tableFont_ = -1;
    std::string tableFontName_;
    std::vector<std::optional<RtfColour>> colours_;
    RtfColour tableColour_;
    bool tableColourSet_ = false;

    std::vector<RtfRun> runs_;
    bool formatChanged_ = true;
};

} // namespace

bool isRtf(std::string_view bytes) { return bytes.starts_with("{\\rtf"); }

RtfDocument readRtf(std::string_view document, const TextDecoding& decoding)
{
    return Reader(document, decoding).read();
}

std::vector<RtfRun> parseRtf(std::string_view document) { return readRtf(document, {}).runs; }

} // namespace latchsweep
