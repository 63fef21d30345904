// answer_dialogs TITLE ANSWER...: waits for each message box titled TITLE in turn, prints its text
// on one line (line breaks as '|'), and presses the button named by the next ANSWER (ok, cancel,
// yes or no). Exits 0 when every answer was given, 3 when a dialog did not come within a minute.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Search {
    const char* title;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<Search*>(context);
    char className[16] = {};
    char title[256] = {};
    GetClassNameA(window, className, sizeof(className));
    GetWindowTextA(window, title, sizeof(title));
    if (std::strcmp(className, "#32770") == 0 && std::strcmp(title, search->title) == 0 && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectText(HWND child, LPARAM context)
{
    char className[16] = {};
    GetClassNameA(child, className, sizeof(className));
    if (lstrcmpiA(className, "Static") != 0)
        return TRUE;
    char text[4096] = {};
    if (GetWindowTextA(child, text, sizeof(text)) > 0) {
        auto* collected = reinterpret_cast<std::string*>(context);
        if (!collected->empty())
            *collected += '|';
        *collected += text;
    }
    return TRUE;
}

int ButtonId(const char* answer)
{
    if (std::strcmp(answer, "ok") == 0)
        return IDOK;
    if (std::strcmp(answer, "yes") == 0)
        return IDYES;
    if (std::strcmp(answer, "no") == 0)
        return IDNO;
    return IDCANCEL;
}

HWND WaitForDialog(const char* title, HWND previous)
{
    for (int tries = 0; tries < 1200; ++tries) {
        Search search = {title, nullptr};
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found && search.found != previous)
            return search.found;
        Sleep(50);
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: answer_dialogs TITLE ANSWER...\n");
        return 2;
    }
    HWND previous = nullptr;
    for (int i = 2; i < argc; ++i) {
        HWND dialog = WaitForDialog(argv[1], previous);
        if (!dialog) {
            std::printf("(no dialog for answer %d)\n", i - 1);
            return 3;
        }
        // The program's warning dialogs keep their message in a hidden text (1101); plain message
        // boxes show it in static controls.
        std::string text;
        char message[4096] = {};
        if (GetDlgItemTextA(dialog, 1101, message, sizeof(message)) > 0)
            text = message;
        else
            EnumChildWindows(dialog, CollectText, reinterpret_cast<LPARAM>(&text));
        for (char& ch : text) {
            if (ch == '\n')
                ch = '|';
        }
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
        int id = ButtonId(argv[i]);
        if (id == IDYES && !GetDlgItem(dialog, IDYES))
            id = IDOK;  // the warning dialogs answer Yes with their OK command
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
        // The next message box may reuse nothing of this one; wait until this one is gone.
        for (int tries = 0; tries < 1200 && IsWindow(dialog) && IsWindowVisible(dialog); ++tries)
            Sleep(20);
        previous = IsWindow(dialog) ? dialog : nullptr;
    }
    return 0;
}
