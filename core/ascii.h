// Text rules the settings file and the registry paths share. Case folds A to Z only, whatever the
// code page; a blank is a space or a tab.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace ascii {

constexpr char ToLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char ToUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string ToUpper(std::string s) {
    for (char& c : s)
        c = ToUpper(c);
    return s;
}

constexpr bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return ToLower(x) == ToLower(y);
           });
}

constexpr bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The text without the blanks at its ends.
constexpr std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

}  // namespace ascii
