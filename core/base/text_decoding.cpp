#include "core/base/text_decoding.h"

#include <algorithm>
#include <utility>

namespace latchsweep {
namespace {

// Every code page a Windows system has for its ANSI text spells ASCII as ASCII.
bool isAscii(std::string_view bytes)
{
    return std::ranges::all_of(bytes, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

std::optional<std::string> decodeText(std::string_view bytes, const TextDecoding& decoding)
{
    if (bytes.starts_with(kUtf8Mark)) {
        bytes.remove_prefix(kUtf8Mark.size());
        if (!isUtf8(bytes))
            return std::nullopt;
        return std::string(bytes);
    }
    if (decoding.codePage == kCodePageUtf8 || isAscii(bytes))
        return std::string(bytes);
    if (decoding.convert)
        return decoding.convert(decoding.codePage, bytes);
    return std::nullopt;
}

std::optional<std::string> decodeTextInPlace(std::string&& bytes, const TextDecoding& decoding)
{
    const std::string_view view = bytes;
    if (view.starts_with(kUtf8Mark) || !(decoding.codePage == kCodePageUtf8 || isAscii(view)))
        return decodeText(view, decoding);
    return std::move(bytes);
}

std::optional<std::string> encodeText(std::string_view text, const TextDecoding& decoding)
{
    if (decoding.codePage == kCodePageUtf8 || isAscii(text))
        return std::string(text);
    if (!isUtf8(text))
        return std::nullopt;
    if (decoding.encode) {
        if (auto bytes = decoding.encode(decoding.codePage, text))
            return bytes;
    }
    std::string bytes(kUtf8Mark);
    return bytes.append(text);
}

std::size_t utf8SequenceLength(std::string_view bytes, char32_t& codePoint)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, codePoint = lead & 0x1Fu, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, codePoint = lead & 0x0Fu, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, codePoint = lead & 0x07u, min = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0u) != 0x80u)
            return 0;
        codePoint = (codePoint << 6) | (byte(i) & 0x3Fu);
    }
    if (codePoint < min || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

bool isUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t ignored = 0;
        const std::size_t length = utf8SequenceLength(bytes.substr(i), ignored);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

std::string withLineFeeds(std::string_view text)
{
    std::string folded;
    folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        folded += text[i] == '\r' ? '\n' : text[i];
    }
    return folded;
}

} // namespace latchsweep
