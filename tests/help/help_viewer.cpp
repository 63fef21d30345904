// help_viewer CHM TITLE [MARKFILE]: opens the help file through the shell, as the program's Help
// command does, waits for the HTML Help window called TITLE and prints, one a line, the entries of
// its table of contents as the viewer shows them (books expanded, each entry indented by one tab
// per level). Then it closes the viewer and exits 0; 3 when no such window came within 30 seconds,
// 4 when it shows no table of contents.
// With MARKFILE, for screenshots: the window is moved to the top left corner, its screen
// rectangle ("left top right bottom") is written to MARKFILE, and the viewer stays open until
// MARKFILE has been deleted.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

struct Search {
    const char* className;
    const char* title;  // null: any
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<Search*>(context);
    char className[64] = {};
    char title[256] = {};
    GetClassNameA(window, className, sizeof(className));
    GetWindowTextA(window, title, sizeof(title));
    if (lstrcmpiA(className, search->className) == 0 && (!search->title || lstrcmpA(title, search->title) == 0)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForViewer(const char* title)
{
    for (int tries = 0; tries < 600; ++tries) {
        Search search = {"HH Parent", title, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found && IsWindowVisible(search.found))
            return search.found;
        Sleep(50);
    }
    return nullptr;
}

HWND FindContentsTree(HWND viewer)
{
    // The tree is filled once the viewer has read the contents file.
    for (int tries = 0; tries < 200; ++tries) {
        Search search = {WC_TREEVIEWA, nullptr, nullptr};
        EnumChildWindows(viewer, MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found && SendMessageA(search.found, TVM_GETCOUNT, 0, 0) > 0)
            return search.found;
        Sleep(50);
    }
    return nullptr;
}

// Reads the entries of a tree view that lives in another process: the item record and its text
// buffer are placed in that process's memory.
class RemoteTree {
public:
    RemoteTree(HWND tree) : tree_(tree)
    {
        DWORD processId = 0;
        GetWindowThreadProcessId(tree, &processId);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process_)
            memory_ = VirtualAllocEx(process_, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteTree()
    {
        if (memory_)
            VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);  // the viewer ends next anyway
        if (process_)
            CloseHandle(process_);
    }
    RemoteTree(const RemoteTree&) = delete;
    RemoteTree& operator=(const RemoteTree&) = delete;

    bool Usable() const { return memory_ != nullptr; }

    std::string Text(HTREEITEM item)
    {
        auto* remoteItem = static_cast<TVITEMA*>(memory_);
        char* remoteText = static_cast<char*>(memory_) + 512;
        TVITEMA record = {};
        record.mask = TVIF_TEXT;
        record.hItem = item;
        record.pszText = remoteText;
        record.cchTextMax = 1024;
        char text[1024] = {};
        if (!WriteProcessMemory(process_, remoteItem, &record, sizeof(record), nullptr) ||
            !SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remoteItem)) ||
            !ReadProcessMemory(process_, remoteText, text, sizeof(text) - 1, nullptr))
            return "?";
        return text;
    }

private:
    HWND tree_;
    HANDLE process_ = nullptr;
    void* memory_ = nullptr;
};

HTREEITEM Next(HWND tree, UINT relation, HTREEITEM item)
{
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

void PrintEntries(HWND tree, RemoteTree& remote, HTREEITEM item, int depth)
{
    for (; item; item = Next(tree, TVGN_NEXT, item)) {
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
        std::printf("%s%s\n", std::string(depth, '\t').c_str(), remote.Text(item).c_str());
        PrintEntries(tree, remote, Next(tree, TVGN_CHILD, item), depth + 1);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: help_viewer CHM TITLE [MARKFILE]\n");
        return 2;
    }
    SHELLEXECUTEINFOA open = {};
    open.cbSize = sizeof(open);
    open.fMask = SEE_MASK_NOCLOSEPROCESS;
    open.lpVerb = "open";
    open.lpFile = argv[1];
    open.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&open)) {
        std::fprintf(stderr, "help_viewer: the shell cannot open %s (error %lu)\n", argv[1], GetLastError());
        return 2;
    }
    HWND viewer = WaitForViewer(argv[2]);
    if (!viewer) {
        std::fprintf(stderr, "help_viewer: no help window called \"%s\"\n", argv[2]);
        if (open.hProcess)
            TerminateProcess(open.hProcess, 1);
        return 3;
    }
    HWND tree = FindContentsTree(viewer);
    int status = 0;
    RemoteTree remote(tree);
    if (!tree || !remote.Usable()) {
        std::fprintf(stderr, "help_viewer: the help window shows no table of contents\n");
        status = 4;
    } else {
        PrintEntries(tree, remote, Next(tree, TVGN_ROOT, nullptr), 0);
        std::fflush(stdout);
    }

    if (argc > 3) {
        SetWindowPos(viewer, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
        Sleep(500);  // let the viewer repaint at its new place
        RECT rect;
        GetWindowRect(viewer, &rect);
        if (FILE* mark = std::fopen(argv[3], "w")) {
            std::fprintf(mark, "%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
            std::fclose(mark);
        }
        while (GetFileAttributesA(argv[3]) != INVALID_FILE_ATTRIBUTES)
            Sleep(100);
    }

    PostMessageA(viewer, WM_CLOSE, 0, 0);
    if (open.hProcess) {
        if (WaitForSingleObject(open.hProcess, 10000) != WAIT_OBJECT_0)
            TerminateProcess(open.hProcess, 1);  // a viewer that ignores the close must not outlive the test
        CloseHandle(open.hProcess);
    }
    return status;
}
