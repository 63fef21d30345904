// The language packs shipped in the installation image: every pack has the keys of the English
// one with the same markers, and a pack with texts outside ASCII is UTF-16 with its byte-order
// mark, the one form every reader reads the same in every code page.
#include "common/ScopedWin.h"
#include "lang/LanguagePack.h"
#include "tests/support/TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <map>
#include <vector>

namespace {

std::wstring Wide(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

// Every key of a pack's section with its text, read as the system's INI reader reads it.
std::map<std::wstring, std::wstring> PackEntries(const std::string& language)
{
    const std::wstring path = LanguagePack::PackPath(Wide(test::DistFolder()), Wide(language));
    std::vector<wchar_t> buffer(1 << 17);
    DWORD length = GetPrivateProfileSectionW(Wide(LanguagePack::Section).c_str(), buffer.data(),
                                             static_cast<DWORD>(buffer.size()), path.c_str());
    std::map<std::wstring, std::wstring> entries;
    for (const wchar_t* line = buffer.data(); line < buffer.data() + length && *line; line += wcslen(line) + 1) {
        std::wstring entry = line;
        std::wstring::size_type equals = entry.find(L'=');
        if (equals != std::wstring::npos)
            entries[entry.substr(0, equals)] = entry.substr(equals + 1);
    }
    return entries;
}

std::vector<std::string> PackNames()
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    AutoFindHandle find(FindFirstFileA((test::DistFolder() + "\\Lang\\*.ini").c_str(), &entry));
    if (!find)
        return names;
    do {
        std::string name = entry.cFileName;
        names.push_back(name.substr(0, name.size() - 4));
    } while (FindNextFileA(find.Get(), &entry));
    return names;
}

int Count(const std::wstring& text, const std::wstring& marker)
{
    int count = 0;
    for (auto at = text.find(marker); at != std::wstring::npos; at = text.find(marker, at + 1))
        ++count;
    return count;
}

}  // namespace

TEST_CASE("the installation ships the English and the German pack")
{
    std::vector<std::string> names = PackNames();
    std::sort(names.begin(), names.end());
    CHECK(names == std::vector<std::string>{"Deutsch", "English"});
}

TEST_CASE("every pack has exactly the keys of the English pack, with the same markers")
{
    const auto english = PackEntries("English");
    REQUIRE(english.size() > 100);
    for (const std::string& language : PackNames()) {
        CAPTURE(language);
        const auto pack = PackEntries(language);
        for (const auto& entry : english) {
            CAPTURE(std::string(entry.first.begin(), entry.first.end()));
            auto found = pack.find(entry.first);
            REQUIRE(found != pack.end());
            CHECK_FALSE(found->second.empty());
            for (const wchar_t* marker : {L"#", L"%s", L"%u", L"%t", L"%c"})
                CHECK(Count(found->second, marker) == Count(entry.second, marker));
        }
        for (const auto& entry : pack) {
            CAPTURE(std::string(entry.first.begin(), entry.first.end()));
            CHECK(english.count(entry.first) == 1);
        }
    }
}

TEST_CASE("a pack with texts outside ASCII is UTF-16 with its byte-order mark")
{
    for (const std::string& language : PackNames()) {
        CAPTURE(language);
        const std::string bytes = test::ReadFileBytes(test::DistFolder() + "\\Lang\\" + language + ".ini");
        REQUIRE(bytes.size() > 2);
        const bool utf16 = bytes[0] == '\xFF' && bytes[1] == '\xFE';
        bool ascii = true;
        for (char ch : bytes)
            ascii = ascii && static_cast<unsigned char>(ch) < 0x80;
        CHECK((utf16 || ascii));
    }
    // The German pack holds its umlauts.
    CHECK(PackEntries("Deutsch")[L"9063"] == L"Freien Speicherplatz \u00FCberschreiben");
}
