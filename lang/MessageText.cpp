#include "lang/MessageText.h"

#include <cstdio>

namespace MessageText {

std::string ReplaceAll(std::string text, const std::string& marker, const std::string& value)
{
    if (marker.empty())
        return text;
    for (std::string::size_type at = text.find(marker); at != std::string::npos;
         at = text.find(marker, at + value.size())) {
        text.replace(at, marker.size(), value);
    }
    return text;
}

std::string ExpandLineBreaks(std::string text)
{
    for (char& ch : text) {
        if (ch == '#')
            ch = '\n';
    }
    return text;
}

std::string Compose(const std::string& text, const Values& values)
{
    // One pass over the text: a value that itself holds a marker (a path named "100%used")
    // is inserted as it is, not scanned again.
    std::string pattern = ExpandLineBreaks(text);
    std::string result;
    result.reserve(pattern.size());
    for (std::string::size_type i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()) {
            char marker = pattern[i + 1];
            if (marker == 's' && values.s) {
                result += *values.s;
                ++i;
                continue;
            }
            if (marker == 'u' && values.u) {
                result += std::to_string(*values.u);
                ++i;
                continue;
            }
            if (marker == 't' && values.t) {
                result += std::to_string(*values.t);
                ++i;
                continue;
            }
            if (marker == 'c' && values.c) {
                result += *values.c;
                ++i;
                continue;
            }
        }
        result += pattern[i];
    }
    return result;
}

std::string WithPath(const std::string& text, const std::string& path)
{
    Values values;
    values.s = &path;
    return Compose(text, values);
}

std::string WithNumber(const std::string& text, unsigned number)
{
    Values values;
    values.u = &number;
    return Compose(text, values);
}

std::string Hex8(unsigned long value)
{
    char digits[16];
    std::snprintf(digits, sizeof(digits), "%08lX", value & 0xFFFFFFFFul);
    return digits;
}

}  // namespace MessageText
