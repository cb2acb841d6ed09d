#include "core/base/TextUtils.h"

#include <cstdio>
#include <cstring>

namespace {

// Appends text while the result stays within kMaxBuiltTextLength.
void AppendBounded(std::string& out, std::string_view text) {
    if (out.size() >= kMaxBuiltTextLength) return;
    out.append(text.substr(0, kMaxBuiltTextLength - out.size()));
}

}  // namespace

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
