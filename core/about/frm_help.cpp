#include "core/about/frm_help.h"

#include <algorithm>
#include <array>

namespace latchsweep {
namespace {

constexpr std::array kHelpControls{
    ControlLayout{"OKButton", ControlKind::Button, {6480, 120, 1215, 375}, "OK", {}, {}, 0},
    ControlLayout{"CancelButton", ControlKind::Button, {6480, 600, 1215, 375}, "Cancel", {}, {}, 1},
    ControlLayout{"Label1", ControlKind::Label, {120, 120, 6135, 855}, "Help!", {}, {"Arial", 36, true, false}, 2},
    ControlLayout{
        "helptxt", ControlKind::RichText, {120, 1080, 7575, 1575}, frmHelp::kInitialText, {}, kDialogFont, 3, "Label1"},
};
constexpr WindowLayout kHelpLayout{"frmHelp", "Help", 7860, 2775, kHelpControls};
constexpr TwipsRect kHelpClientArea{2760, 3750, 7860, 2775};

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

std::string withNewlines(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out += text[i];
            continue;
        }
        out += '\n';
        if (i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
    }
    return out;
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
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    const std::string_view whole = withoutCutSequence(bytes);
    const std::string text =
        isUtf8(whole) ? withNewlines(whole) : withNewlines(decodeCodePage(bytes, decoding.codePage, decoding));
    WordBreaker().append(document.text, text);
    return document;
}

frmHelp::frmHelp(const WindowContext& context, const MakeView& makeView)
    : context_(context),
      view_(makeView(*this))
{}

frmHelp::~frmHelp() = default;

void frmHelp::load()
{
    // By its bare name: the file in the working directory of the moment, never beside the program.
    FileSystem& files = context_.platform().files;
    const auto bytes = files.readHead(std::string(kHelpFile), kHelpFileLimit);
    if (!bytes)
        return;
    const HelpDocument document = readHelpDocument(*bytes, files.textDecoding());
    if (document.rich)
        view_->setHelpRuns(document.runs);
    else
        view_->setHelpText(document.text);
}

void frmHelp::onOK() { close(); }

void frmHelp::onCancel() { close(); }

void frmHelp::onCloseRequest() { close(); }

void frmHelp::close()
{
    if (context_.ended())
        return;
    context_.discard();
}

const WindowLayout& frmHelpLayout() { return kHelpLayout; }

TwipsRect frmHelpClientArea() { return kHelpClientArea; }

} // namespace latchsweep
