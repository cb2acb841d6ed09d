#include "core/base/TextUtils.h"

#include <cstdio>
#include <cstring>

namespace {

// Appends text while the result stays within kMaxBuiltTextLength.
void AppendBounded(std::string& out, std::string_view text) {
    if (out.size() >= kMaxBuiltTextLength) return;
    out.append(text.substr(0, kMaxBuiltTextLength - out.size()));
}

// The length of the printable character the text starts with: 1 for
// printable ASCII, 2 to 4 for a well-formed UTF-8 sequence of a character
// past the C1 controls (no overlong form, no surrogate, nothing past
// U+10FFFF); 0 for anything else.
size_t PrintableCharacterLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) return lead >= 0x20 && lead < 0x7f ? 1 : 0;
    // The sequence's length, the lead byte's bits of the character, and the
    // lowest character a sequence of that length may carry.
    size_t length = 4;
    uint32_t code = lead & 0x07;
    uint32_t lowest = 0x10000;
    if ((lead & 0xe0) == 0xc0) {
        length = 2;
        code = lead & 0x1f;
        lowest = 0xa0;  // U+0080 to U+009F are the C1 controls
    } else if ((lead & 0xf0) == 0xe0) {
        length = 3;
        code = lead & 0x0f;
        lowest = 0x800;
    } else if ((lead & 0xf8) != 0xf0) {
        return 0;
    }
    if (text.size() < length) return 0;
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xc0) != 0x80) return 0;
        code = code << 6 | (next & 0x3f);
    }
    if (code < lowest || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) return 0;
    return length;
}

}  // namespace

std::string PrintableText(std::string_view bytes) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size());
    for (size_t at = 0; at < bytes.size();) {
        if (size_t length = PrintableCharacterLength(bytes.substr(at))) {
            out.append(bytes.substr(at, length));
            at += length;
            continue;
        }
        const auto byte = static_cast<unsigned char>(bytes[at++]);
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0f];
    }
    return out;
}

std::string IntToString(int32_t value) {
    // Work in 64 bits so that the magnitude of INT32_MIN is representable.
    int64_t magnitude = value;
    bool negative = magnitude < 0;
    if (negative) magnitude = -magnitude;
    char digits[12];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);
    std::string text;
    text.reserve(count + 1);
    if (negative) text.push_back('-');
    while (count > 0) text.push_back(digits[--count]);
    return text;
}

std::string FormatStringArgs(const char* format, std::initializer_list<FormatArg> values) {
    std::string out;
    if (!format) return out;
    auto next = values.begin();
    for (const char* p = format; *p && out.size() < kMaxBuiltTextLength; ++p) {
        if (*p != '%') {
            out.push_back(*p);
            continue;
        }
        if (p[1] == 'i' || p[1] == 's') {
            if (next != values.end()) {
                AppendBounded(out, next->Text());
                ++next;
            }
            ++p;
        }
        // Any other character after '%' is handled normally; the '%' is dropped.
    }
    return out;
}

void FreeWildcardPairs(WildcardPairs& pairs) {
    pairs.clear();
    pairs.shrink_to_fit();
}

std::optional<std::string> ReplaceWildcards(const char* text, const WildcardPairs* pairs) {
    if (!text) return std::nullopt;
    static const WildcardPairs kNoPairs = {{"<NONE>", "FAIL"}};
    const WildcardPairs& table = (pairs && !pairs->empty()) ? *pairs : kNoPairs;

    std::string out;
    std::string_view rest(text);
    size_t i = 0;
    while (i < rest.size()) {
        if (rest[i] != '<') {
            if (out.size() < kMaxBuiltTextLength) out.push_back(rest[i]);
            ++i;
            continue;
        }
        size_t close = rest.find('>', i);
        if (close == std::string_view::npos) {
            std::fprintf(stderr, "Broken wildcard detected in string %s\n", text);
            return std::nullopt;
        }
        std::string_view wildcard = rest.substr(i, close - i + 1);
        std::string_view replacement = "INVALID";
        for (const auto& [key, value] : table) {
            if (wildcard == key) {
                replacement = value;
                break;
            }
        }
        AppendBounded(out, replacement);
        i = close + 1;
    }
    return out;
}

std::optional<std::string> ReplaceWildcards(const std::string& text, const WildcardPairs& pairs) {
    return ReplaceWildcards(text.c_str(), &pairs);
}
