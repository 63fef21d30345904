// Composition of message texts from the language pack: "#" stands for a line break, and the
// markers "%s", "%u", "%t" and "%c" are replaced as plain text, never used as a format.
#pragma once

#include <string>

namespace MessageText {

// Every occurrence of `marker` replaced by `value`; the inserted text is not scanned again.
std::string ReplaceAll(std::string text, const std::string& marker, const std::string& value);

// Every "#" becomes a line feed.
std::string ExpandLineBreaks(std::string text);

// The values a message may take. Unset values leave their marker as written.
struct Values {
    const std::string* s = nullptr;
    const unsigned* u = nullptr;
    const unsigned* t = nullptr;
    const char* c = nullptr;
};

// "#" first, then the markers "%s", "%u", "%t" and "%c" in a single pass.
std::string Compose(const std::string& text, const Values& values);

// Convenience forms for the common cases.
std::string WithPath(const std::string& text, const std::string& path);
std::string WithNumber(const std::string& text, unsigned number);

// Eight upper-case hexadecimal digits, as error codes are shown.
std::string Hex8(unsigned long value);

}  // namespace MessageText
