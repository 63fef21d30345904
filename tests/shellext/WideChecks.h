// Wide texts in the tests' failure messages, shown as UTF-8.
#pragma once

#include "ShellextSupport.h"

#include <doctest/doctest.h>

namespace doctest {
template <>
struct StringMaker<std::wstring> {
    static String convert(const std::wstring& text) { return ("L\"" + shelltest::Utf8(text) + "\"").c_str(); }
};
}  // namespace doctest
