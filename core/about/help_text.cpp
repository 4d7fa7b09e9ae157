#include "core/about/help_text.h"

#include <algorithm>

namespace latchsweep {
namespace {

// A file cut at the size limit may end inside a multi-byte sequence; that tail is dropped
// rather than letting it turn the whole text into single-byte characters.
std::string_view withoutCutSequence(std::string_view bytes)
{
    for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xC0u) == 0x80u)
            continue;
        const std::size_t needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return needed > back ? bytes.substr(0, bytes.size() - back) : bytes;
    }
    return bytes;
}

// A text box takes time that grows with the square of the length of a word it has to wrap, and
// of the number of format changes within one paragraph: a help file made of one endless word or
// of one paragraph in countless formats would hold the window up for minutes. Both are bounded
// here, invisibly for any ordinary text.
constexpr std::size_t kMaxWordLength = 256;       // code points; then a zero-width space
constexpr std::size_t kMaxRunsPerParagraph = 256; // then the paragraph goes on in the last format
constexpr std::string_view kZeroWidthSpace = "\u200B";

class WordBreaker {
public:
    void append(std::string& out, std::string_view text)
    {
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (c == ' ' || c == '\t' || c == '\n') {
                length_ = 0;
            } else if ((byte & 0xC0u) != 0x80u && ++length_ > kMaxWordLength) {
                out += kZeroWidthSpace;
                length_ = 1;
            }
            out += c;
        }
    }

private:
    std::size_t length_ = 0;
};

std::vector<RtfRun> forDisplay(const std::vector<RtfRun>& runs)
{
    std::vector<RtfRun> shown;
    std::size_t inParagraph = 0;
    WordBreaker breaker;
    for (const RtfRun& run : runs) {
        std::string_view text = run.text;
        while (!text.empty()) {
            const std::size_t end = std::min(text.find('\n'), text.size() - 1) + 1;
            const std::string_view piece = text.substr(0, end);
            if (shown.empty() || (inParagraph < kMaxRunsPerParagraph && shown.back().format != run.format)) {
                shown.push_back({{}, run.format});
                ++inParagraph;
            }
            breaker.append(shown.back().text, piece);
            if (piece.back() == '\n')
                inParagraph = 0;
            text.remove_prefix(end);
        }
    }
    return shown;
}

} // namespace

HelpDocument readHelpDocument(std::string_view bytes, const TextDecoding& decoding)
{
    HelpDocument document;
    if (isRtf(bytes)) {
        document.rich = true;
        document.runs = forDisplay(readRtf(bytes, decoding).runs);
        return document;
    }
    // The data files' rule, and one step beyond it: a text that is UTF-8 throughout without the
    // mark, as today's editors save it, is read as UTF-8 too. Text in an ANSI code page is hardly
    // ever valid UTF-8 unless it is plain ASCII, which reads the same either way. What neither
    // reads is still shown, in the system's code page or as Windows-1252, since nothing is done
    // with the text but reading it.
    const bool marked = bytes.starts_with(kUtf8Mark);
    std::string_view body = withoutCutSequence(marked ? bytes.substr(kUtf8Mark.size()) : bytes);
    std::optional<std::string> text;
    if (isUtf8(body))
        text = std::string(body);
    else if (!marked)
        text = decodeText(bytes, decoding);
    if (!text || !isUtf8(*text))
        text = decodeCodePage(marked ? bytes.substr(kUtf8Mark.size()) : bytes, decoding.codePage, decoding);
    WordBreaker().append(document.text, withLineFeeds(*text));
    return document;
}

} // namespace latchsweep
