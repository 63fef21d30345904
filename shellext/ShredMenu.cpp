#include "ShredMenu.h"

#include "lang/LanguagePack.h"
#include "lang/MessageText.h"

namespace shelvane {
namespace {

const wchar_t kDefaultMenuText[] = L"Vave Deveziza";
// Used when the pack predates these texts, so the user still learns what happened.
const wchar_t kDefaultPathsLeftOut[] =
    L"The paths of these items are too long to be handed over safely. They are left out and will not be shredded:#%s";
const wchar_t kDefaultSelectionTooLarge[] =
    L"Too many items are selected to be handed over at once: %u of these %t items fit. Nothing was shredded. "
    L"Select fewer items and try again.";

// Markers and line breaks are ASCII, and UTF-8 never uses ASCII bytes inside a character, so a
// message is composed in UTF-8 by the program's own composition and comes back unchanged.
std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                   nullptr);
    std::string result(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], size, nullptr,
                            nullptr);  // sized by the call before
    return result;
}

std::wstring Wide(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(size > 0 ? static_cast<size_t>(size) : 0, L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], size);  // sized before
    return result;
}

std::wstring Compose(const std::wstring& text, const MessageText::Values& values)
{
    return Wide(MessageText::Compose(Utf8(text), values));
}

// How many of the first `items` fit one command line that starts `program`: the quoted program,
// a blank, then every path in quotation marks with a blank after it, and a lone quotation mark.
size_t FittingItems(const std::wstring& program, const std::vector<std::wstring>& items)
{
    size_t fixed = 1 + program.size() + 1 + 1 + 1 + 1;  // quotes, blank, final quote, terminator
    if (fixed > kCommandLineLimit)
        return 0;
    size_t room = kCommandLineLimit - fixed;
    size_t fitting = 0;
    for (const std::wstring& item : items) {
        size_t needed = item.size() + 3;
        if (needed > room)
            break;
        room -= needed;
        ++fitting;
    }
    return fitting;
}

}  // namespace

std::wstring ParameterText(const std::vector<std::wstring>& paths)
{
    std::wstring text;
    for (const std::wstring& path : paths) {
        text += L'"';
        text += path;
        text += L"\" ";
    }
    text += L'"';
    return text;
}

std::vector<std::wstring> ReadDroppedPaths(HDROP drop)
{
    std::vector<std::wstring> paths;
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT index = 0; index < count; ++index) {
        UINT length = DragQueryFileW(drop, index, nullptr, 0);
        if (length == 0)
            continue;
        std::wstring path(length + 1, L'\0');
        if (DragQueryFileW(drop, index, &path[0], length + 1) != length)
            continue;
        path.resize(length);
        paths.push_back(std::move(path));
    }
    return paths;
}

ShredMenu::ShredMenu(ModuleSettings settings) : settings_(std::move(settings)) {}

std::wstring ShredMenu::Text(int key, const wchar_t* defaultText, DWORD bufferSize) const
{
    return LanguagePack::ReadText(LanguagePack::PackPath(settings_.appPath, settings_.language), key, defaultText,
                                   bufferSize);
}

std::wstring ShredMenu::MenuText() const
{
    return Text(kMenuTextKey, kDefaultMenuText, kMenuTextBufferSize);
}

std::wstring ShredMenu::ProgramPath() const
{
    if (settings_.appPath.empty())
        return std::wstring();
    return settings_.appPath + L"\\Nullwright.exe";
}

Handover ShredMenu::Run(MenuActions& actions) const
{
    if (selection_.empty())
        return Handover::NothingSelected;
    // Without the installation folder only a search could find a program, and it might find
    // another of that name.
    std::wstring program = ProgramPath();
    if (program.empty())
        return Handover::NoInstallation;

    std::vector<std::wstring> items;
    std::wstring leftOut;
    for (const std::wstring& path : selection_) {
        if (path.size() < kPathLimit) {
            items.push_back(path);
        } else {
            if (!leftOut.empty())
                leftOut += L'\n';
            leftOut += path;
        }
    }
    std::wstring title = MenuText();
    if (!leftOut.empty()) {
        std::string paths = Utf8(leftOut);
        MessageText::Values values;
        values.s = &paths;
        actions.Tell(Compose(Text(kPathsLeftOutKey, kDefaultPathsLeftOut, LanguagePack::MessageBufferSize), values),
                     title);
    }
    if (items.empty())
        return Handover::NothingSelected;

    size_t fitting = FittingItems(program, items);
    if (fitting < items.size()) {
        unsigned fit = static_cast<unsigned>(fitting);
        unsigned total = static_cast<unsigned>(items.size());
        MessageText::Values values;
        values.u = &fit;
        values.t = &total;
        actions.Tell(
            Compose(Text(kSelectionTooLargeKey, kDefaultSelectionTooLarge, LanguagePack::MessageBufferSize), values),
            title);
        return Handover::TooLarge;
    }
    return actions.Start(program, ParameterText(items), settings_.appPath) ? Handover::Started : Handover::NotStarted;
}

}  // namespace shelvane
