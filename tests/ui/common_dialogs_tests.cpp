// The system's own dialogs behind the lists, once each, driven through their controls: Wine's
// open-file dialog (a typed path, and a selection of many files whose names together are far
// longer than one path) and its folder browser (walked by keyboard).
#include "tests/support/TestSupport.h"
#include "tests/ui/DialogScript.h"
#include "tests/ui/TreeWalk.h"
#include "ui/ItemPages.h"

#include <commctrl.h>
#include <objbase.h>

#include <doctest/doctest.h>

using namespace uitest;

namespace {

constexpr int FileNameBox = 1148;  // the open-file dialog's file name box
constexpr int LookIn = 1137;       // its folder box

HWND FileNameEdit(HWND dialog)
{
    HWND box = GetDlgItem(dialog, FileNameBox);
    HWND combo = box ? FindWindowExA(box, nullptr, "ComboBox", nullptr) : nullptr;
    return combo ? FindWindowExA(combo, nullptr, "Edit", nullptr) : nullptr;
}

void TypeAndOpen(HWND dialog, const std::string& text)
{
    HWND edit = FileNameEdit(dialog);
    REQUIRE(edit != nullptr);
    SetWindowTextA(edit, text.c_str());
    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
}

struct FileChoice {
    ItemDialogs::Choice choice = ItemDialogs::Choice::Cancelled;
    std::vector<std::string> paths;
    ScriptResult script;
};

FileChoice ChooseFiles(std::vector<Step> steps)
{
    FileChoice result;
    result.script = RunScripted(
        [&] {
            result.choice = SystemItemDialogs().ChooseFiles(nullptr, result.paths);
            return static_cast<INT_PTR>(IDOK);
        },
        std::move(steps));
    CHECK_FALSE(result.script.hung);
    return result;
}

std::string ItemText(HWND tree, HTREEITEM item)
{
    char text[MAX_PATH] = "";
    TVITEMA record = {};
    record.mask = TVIF_TEXT;
    record.hItem = item;
    record.pszText = text;
    record.cchTextMax = MAX_PATH;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&record));
    return text;
}

// A folder below Z:\tmp, which Wine's folder browser shows under "/".
class UnixTempFolder {
public:
    UnixTempFolder() : name_("nw-browse-" + std::to_string(GetCurrentProcessId())), path_("Z:\\tmp\\" + name_)
    {
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~UnixTempFolder() { test::RemoveTree(path_); }
    const std::string& Name() const { return name_; }
    const std::string& Path() const { return path_; }

private:
    std::string name_;
    std::string path_;
};

}  // namespace

TEST_CASE("a path typed into the real open-file dialog and Open give that one file")
{
    test::TempFolder folder("open");
    test::WriteFileBytes(folder / "chosen file.txt", "x");
    std::string caption;
    bool readOnlyBox = false;
    FileChoice result = ChooseFiles({[&](HWND dialog) {
        caption = Text(dialog);
        readOnlyBox = Visible(dialog, 1040);  // the dialog's read-only box stays
        TypeAndOpen(dialog, folder / "chosen file.txt");
    }});
    CHECK(caption == "Open");
    CHECK(readOnlyBox);
    CHECK(result.choice == ItemDialogs::Choice::Chosen);
    CHECK(result.paths == std::vector<std::string>{folder / "chosen file.txt"});

    FileChoice cancelled = ChooseFiles({[](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }});
    CHECK(cancelled.choice == ItemDialogs::Choice::Cancelled);
    CHECK(cancelled.paths.empty());
}

TEST_CASE("a selection of many files, far longer than one path together, gives every one of them")
{
    test::TempFolder folder("many");
    std::vector<std::string> expected;
    std::string names;
    for (int i = 0; i < 40; ++i) {
        std::string name = "quarterly report number " + std::to_string(100 + i) + ".xlsx";
        test::WriteFileBytes(folder / name, "x");
        expected.push_back(folder / name);
        names += (i ? " \"" : "\"") + name + "\"";
    }
    REQUIRE(names.size() > 3 * MAX_PATH);
    std::string last = folder.Path().substr(folder.Path().rfind('\\') + 1);
    std::string wentTo;
    FileChoice result = ChooseFiles({
        [&](HWND dialog) { TypeAndOpen(dialog, folder.Path()); },  // the dialog goes to the folder
        [&](HWND dialog) {
            wentTo = Text(GetDlgItem(dialog, LookIn));
            TypeAndOpen(dialog, names);
        },
    });
    CHECK(wentTo == last);
    CHECK(result.choice == ItemDialogs::Choice::Chosen);
    CHECK(result.paths == expected);
}

TEST_CASE("the real folder browser gives the file-system folder walked to in its tree")
{
    REQUIRE(SUCCEEDED(CoInitialize(nullptr)));
    UnixTempFolder folder;
    CreateDirectoryA((folder.Path() + "\\inner folder").c_str(), nullptr);
    bool walked = false;
    std::string chosen;
    bool gotOne = false;
    ScriptResult script = RunScripted(
        [&] {
            gotOne = SystemItemDialogs().ChooseFolder(nullptr, chosen);
            return static_cast<INT_PTR>(IDOK);
        },
        {[&](HWND dialog) {
            HWND tree = FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr);
            walked = tree && WalkTree(dialog, tree, {"/", "tmp", folder.Name(), "inner folder"}, ItemText);
            PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        }});
    CHECK_FALSE(script.hung);
    CHECK(walked);
    CHECK(gotOne);
    CHECK(chosen == folder.Path() + "\\inner folder");

    bool cancelled = true;
    script = RunScripted(
        [&] {
            cancelled = !SystemItemDialogs().ChooseFolder(nullptr, chosen);
            return static_cast<INT_PTR>(IDCANCEL);
        },
        {[](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }});
    CHECK_FALSE(script.hung);
    CHECK(cancelled);
    CoUninitialize();
}
