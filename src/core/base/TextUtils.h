#pragma once
// Text helpers: integers as decimal text, a small %i/%s formatter, the
// substitution of wildcards written as a key in angle brackets ("<Name>") and
// outside bytes made safe to print.
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Longest text FormatString and ReplaceWildcards produce; longer results are
// cut at this many characters.
inline constexpr size_t kMaxBuiltTextLength = 255;

// Bytes read from outside (a file, a server) as they may be printed on a
// terminal: printable ASCII and well-formed UTF-8 characters are kept byte
// for byte; every other byte (control characters, line ends and tabs
// included, DEL, the C1 controls and each byte of a malformed UTF-8
// sequence) becomes "\xNN" in lower-case hex, so that nothing read reaches
// the terminal as a control sequence. Pass `text.c_str()` to print what
// "%s" printed: up to the first zero byte.
std::string PrintableText(std::string_view bytes);

// Decimal digits without leading zeros, with a '-' for negative values.
std::string IntToString(int32_t value);

// One value for FormatString: integers (any integral type) or text.
class FormatArg {
public:
    template <std::integral T> FormatArg(T value) : m_text(std::to_string(value)) {}
    FormatArg(const char* text) : m_text(text ? text : "") {}
    FormatArg(const std::string& text) : m_text(text) {}
    FormatArg(std::string_view text) : m_text(text) {}
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
};

// Copies the format, putting the next value in place of each "%i" (integer)
// or "%s" (text). A '%' followed by anything else is dropped and the next
// character is handled normally. A placeholder with no value left gets
// nothing. The result is at most kMaxBuiltTextLength characters.
std::string FormatStringArgs(const char* format, std::initializer_list<FormatArg> values);

template <typename... Args> std::string FormatString(const char* format, const Args&... values) {
    return FormatStringArgs(format, {FormatArg(values)...});
}

// (key, value) pairs; keys include their angle brackets.
using WildcardPairs = std::vector<std::pair<std::string, std::string>>;

// A key or value for MakeWildcardPairs; a null text counts as empty.
inline std::string WildcardText(const char* text) { return text ? text : ""; }
inline std::string WildcardText(std::string_view text) { return std::string(text); }

// MakeWildcardPairs("<Name>", name, "<Place>", place): keys and values in turn.
template <typename... Texts> WildcardPairs MakeWildcardPairs(const Texts&... texts) {
    static_assert(sizeof...(Texts) % 2 == 0, "MakeWildcardPairs takes keys and values in pairs");
    std::vector<std::string> flat{WildcardText(texts)...};
    WildcardPairs pairs;
    for (size_t i = 0; i + 1 < flat.size(); i += 2) pairs.emplace_back(flat[i], flat[i + 1]);
    return pairs;
}

void FreeWildcardPairs(WildcardPairs& pairs);

// Copies the text, putting in place of each "<key>" the value of the first
// pair with that exact key, or "INVALID" when none has it. With no pairs the
// table ("<NONE>", "FAIL") is used. A '<' with no later '>' prints
// "Broken wildcard detected in string <text>" and gives no result; so does a
// null text (without the line). Results are at most kMaxBuiltTextLength long.
std::optional<std::string> ReplaceWildcards(const char* text, const WildcardPairs* pairs);
std::optional<std::string> ReplaceWildcards(const std::string& text, const WildcardPairs& pairs);
