// invoke_menu PATH...: does what the file manager does when the user selects PATH... and picks
// the Shred command: creates the registered handler by its class, initialises it with the
// selection, asks for its menu and invokes the command's item. Then waits for whatever the
// command started to end. Exits 0 when the command succeeded and its program ended.
#include "ShellextSupport.h"
#include "common/ScopedWin.h"

#include <shlobj.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv)
{
    ScopedCom com;
    if (!com.Succeeded() || !shelltest::StartCountingProcesses())
        return 2;
    std::vector<std::wstring> paths(argv + 1, argv + argc);
    CLSID handlerClass = {};
    CLSIDFromString(L"{8E2A4C19-7D35-4B60-A1F7-5C93E0D8B24A}", &handlerClass);
    ComPtr<IShellExtInit> init;
    HRESULT hr = CoCreateInstance(handlerClass, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit, init.ReceiveVoid());
    if (FAILED(hr)) {
        std::printf("CoCreateInstance: 0x%08lX\n", static_cast<unsigned long>(hr));
        return 3;
    }
    shelltest::DropDataObject* data = shelltest::DropDataObject::Create(paths);
    hr = init->Initialize(nullptr, data, nullptr);
    data->Release();
    ComPtr<IContextMenu> menu;
    if (SUCCEEDED(hr))
        hr = init->QueryInterface(IID_IContextMenu, menu.ReceiveVoid());
    if (FAILED(hr)) {
        std::printf("Initialize: 0x%08lX\n", static_cast<unsigned long>(hr));
        return 4;
    }
    const UINT first = 40000;
    HMENU popup = CreatePopupMenu();
    hr = menu->QueryContextMenu(popup, 0, first, first + 10, CMF_NORMAL);
    UINT id = GetMenuItemID(popup, 0);
    DestroyMenu(popup);
    if (hr != MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1) || id < first) {
        std::printf("QueryContextMenu: 0x%08lX\n", static_cast<unsigned long>(hr));
        return 5;
    }
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof(info);
    info.lpVerb = MAKEINTRESOURCEA(id - first);
    info.nShow = SW_SHOWNORMAL;
    hr = menu->InvokeCommand(&info);
    if (FAILED(hr)) {
        std::printf("InvokeCommand: 0x%08lX\n", static_cast<unsigned long>(hr));
        return 6;
    }
    return shelltest::WaitForStartedProcesses() ? 0 : 7;
}
