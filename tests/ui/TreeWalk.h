// What the tests that drive windows by keyboard share, in this process or from another one:
// control texts without their mnemonics, and the walk through a folder browser's tree.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace uitest {

// "&Files" as the eye reads it: "Files".
inline std::string WithoutMnemonic(const std::string& text)
{
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        result += text[i];
    }
    return result;
}

inline void PressKey(HWND window, UINT key)
{
    SendMessageA(window, WM_KEYDOWN, key, 0);
    SendMessageA(window, WM_KEYUP, key, 0xC0000000);
}

inline HTREEITEM TreeCaret(HWND tree)
{
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

// Walks the tree of the folder browser `dialog` as a user does with the keyboard: Tab into it
// (it then selects its first item), Home to the desktop, then for each part Right (open it,
// go in) and Down until the part is selected; `textOf(tree, item)` reads an item's text. False
// when a part is not there.
template <typename TextOf>
bool WalkTree(HWND dialog, HWND tree, const std::vector<std::string>& parts, TextOf textOf)
{
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(tree), TRUE);
    if (!TreeCaret(tree))
        return false;
    PressKey(tree, VK_HOME);
    for (const std::string& part : parts) {
        if (part.empty())
            continue;
        HTREEITEM parent = TreeCaret(tree);
        if (!(SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(parent), TVIS_EXPANDED) & TVIS_EXPANDED))
            PressKey(tree, VK_RIGHT);
        PressKey(tree, VK_RIGHT);
        for (;;) {
            HTREEITEM item = TreeCaret(tree);
            if (lstrcmpiA(textOf(tree, item).c_str(), part.c_str()) == 0)
                break;
            PressKey(tree, VK_DOWN);
            if (TreeCaret(tree) == item)
                return false;  // the last item, and not the part
        }
    }
    return true;
}

}  // namespace uitest
