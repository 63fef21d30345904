// create_handler CLSID: creates the context-menu handler registered under CLSID the way the file
// manager does (an in-process server asked for IShellExtInit, then for IContextMenu) and prints
// the file of the server that Windows loaded. Exits 0 when both interfaces are there, 1 otherwise.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: create_handler CLSID\n");
        return 2;
    }
    wchar_t text[64] = {};
    MultiByteToWideChar(CP_ACP, 0, argv[1], -1, text, 64);  // a bad text fails in CLSIDFromString
    CLSID clsid;
    if (FAILED(CLSIDFromString(text, &clsid))) {
        std::fprintf(stderr, "create_handler: %s is not a class id\n", argv[1]);
        return 2;
    }
    if (FAILED(CoInitialize(nullptr)))
        return 2;
    int status = 1;
    IShellExtInit* init = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit, reinterpret_cast<void**>(&init));
    if (FAILED(hr)) {
        std::printf("CoCreateInstance failed: 0x%08lX\n", static_cast<unsigned long>(hr));
    } else {
        IContextMenu* menu = nullptr;
        hr = init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu));
        if (FAILED(hr)) {
            std::printf("no IContextMenu: 0x%08lX\n", static_cast<unsigned long>(hr));
        } else {
            // The server is the module that holds the object's code.
            HMODULE server = nullptr;
            char path[MAX_PATH] = "?";
            if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   *reinterpret_cast<LPCSTR*>(menu), &server))
                GetModuleFileNameA(server, path, MAX_PATH);
            std::printf("created by %s\n", path);
            menu->Release();
            status = 0;
        }
        init->Release();
    }
    CoUninitialize();
    return status;
}
