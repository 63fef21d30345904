#include "MenuHandler.h"

#include "Module.h"

namespace shelvane {

const CLSID CLSID_ShredMenuHandler = {0x8E2A4C19, 0x7D35, 0x4B60, {0xA1, 0xF7, 0x5C, 0x93, 0xE0, 0xD8, 0xB2, 0x4A}};

namespace {

// The shell's real side of the command: message boxes owned by the shell's window, and the
// program started by its full path.
class ShellActions final : public MenuActions {
public:
    explicit ShellActions(HWND owner) : owner_(owner) {}

    void Tell(const std::wstring& text, const std::wstring& title) override
    {
        // The only answer is OK; a box that cannot be shown changes nothing of what follows.
        MessageBoxW(owner_, text.c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
    }
    bool Start(const std::wstring& program, const std::wstring& parameters, const std::wstring& folder) override
    {
        HINSTANCE started = ShellExecuteW(nullptr, L"open", program.c_str(), parameters.c_str(), folder.c_str(), SW_SHOW);
        return reinterpret_cast<INT_PTR>(started) > 32;
    }

private:
    HWND owner_;
};

// A storage medium given back to its owner at the end of the scope.
class HeldMedium {
public:
    HeldMedium() = default;
    ~HeldMedium() { ReleaseStgMedium(&medium_); }
    HeldMedium(const HeldMedium&) = delete;
    HeldMedium& operator=(const HeldMedium&) = delete;
    STGMEDIUM* Receive() { return &medium_; }
    const STGMEDIUM& Get() const { return medium_; }

private:
    STGMEDIUM medium_ = {};
};

constexpr HRESULT CommandsAdded(USHORT count)
{
    return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, count);
}

}  // namespace

HRESULT CreateMenuHandler(REFIID iid, void** object)
{
    return com::Create<MenuHandler>(iid, object, LoadedSettings());
}

const com::InterfaceEntry* MenuHandler::Interfaces()
{
    static const com::InterfaceEntry entries[] = {
        {&IID_IContextMenu, com::As<MenuHandler, IContextMenu>},
        {&IID_IShellExtInit, com::As<MenuHandler, IShellExtInit>},
        {&IID_IUnknown, com::As<MenuHandler, IShellExtInit>},
        {nullptr, nullptr},
    };
    return entries;
}

STDMETHODIMP MenuHandler::Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY)
{
    return com::Guard([&]() -> HRESULT {
        data_.Reset();
        menu_.ClearSelection();
        if (!data)
            return E_FAIL;
        data_ = ComPtr<IDataObject>::Share(data);
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        HeldMedium medium;
        if (FAILED(data->GetData(&format, medium.Receive())))
            return E_FAIL;
        if (medium.Get().tymed != TYMED_HGLOBAL || !medium.Get().hGlobal)
            return E_FAIL;
        menu_.SetSelection(ReadDroppedPaths(static_cast<HDROP>(medium.Get().hGlobal)));
        return S_OK;
    });
}

STDMETHODIMP MenuHandler::QueryContextMenu(HMENU menu, UINT index, UINT firstCommand, UINT lastCommand, UINT)
{
    return com::Guard([&]() -> HRESULT {
        // Without a menu, or without an identifier left for us, there is nothing to add: an
        // identifier beyond the last would be another command's.
        if (!menu || firstCommand > lastCommand)
            return CommandsAdded(0);
        std::wstring text = menu_.MenuText();
        if (!InsertMenuW(menu, index, MF_BYPOSITION | MF_STRING, firstCommand, text.c_str()))
            return HRESULT_FROM_WIN32(GetLastError());
        return CommandsAdded(1);
    });
}

STDMETHODIMP MenuHandler::InvokeCommand(CMINVOKECOMMANDINFO* info)
{
    if (!info)
        return E_INVALIDARG;
    // A verb given by name is none of ours (the command has no name): nothing to do.
    if (!IS_INTRESOURCE(info->lpVerb))
        return S_OK;
    // Our one command is offset 0; any other offset belongs to no command of ours.
    if (LOWORD(reinterpret_cast<ULONG_PTR>(info->lpVerb)) != 0)
        return E_INVALIDARG;
    return com::Guard([&]() -> HRESULT {
        ShellActions actions(info->hwnd);
        switch (menu_.Run(actions)) {
        case Handover::NoInstallation:
        case Handover::NotStarted:
            return E_FAIL;
        case Handover::NothingSelected:
        case Handover::TooLarge:
        case Handover::Started:
            break;
        }
        return S_OK;
    });
}

STDMETHODIMP MenuHandler::GetCommandString(UINT_PTR command, UINT type, UINT*, CHAR*, UINT)
{
    // The command exists; it has neither a verb name nor a help text, and saying success would
    // leave the caller reading a buffer nobody wrote.
    if (type == GCS_VALIDATEA || type == GCS_VALIDATEW)
        return command == 0 ? S_OK : S_FALSE;
    return E_NOTIMPL;
}

}  // namespace shelvane
