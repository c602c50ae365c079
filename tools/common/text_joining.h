// Building message and report texts from parts: strings, characters and whole numbers.
#pragma once

#include <string>
#include <string_view>
#include <type_traits>

inline void appendPart(std::string& text, std::string_view part) {
    text += part;
}
inline void appendPart(std::string& text, char part) {
    text += part;
}
template <typename Number>
requires std::is_integral_v<Number> &&(!std::is_same_v<Number, char>)&&(
    !std::is_same_v<Number, bool>)void appendPart(std::string& text, Number part) {
    text += std::to_string(part);
}

// The parts one after the other, numbers in decimal.
template <typename... Parts>
std::string joined(const Parts&... parts) {
    std::string text;
    (appendPart(text, parts), ...);
    return text;
}
