// The context-menu handler the file manager creates for a selection: IShellExtInit receives
// the selection, IContextMenu shows and carries out the one command. The work is ShredMenu's;
// this object only translates between it and the shell.
#pragma once

#include "ModuleSettings.h"
#include "ShredMenu.h"
#include "common/ComObject.h"
#include "common/ScopedWin.h"

#include <shlobj.h>

namespace shelvane {

// {8E2A4C19-7D35-4B60-A1F7-5C93E0D8B24A}: the only class the server serves.
extern const CLSID CLSID_ShredMenuHandler;

// The create function of the class factory's table.
HRESULT CreateMenuHandler(REFIID iid, void** object);

class MenuHandler final : public com::Object<MenuHandler, IContextMenu, IShellExtInit> {
public:
    explicit MenuHandler(const ModuleSettings& settings) : menu_(settings) {}

    static const com::InterfaceEntry* Interfaces();

    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY progId) override;

    STDMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT firstCommand, UINT lastCommand, UINT flags) override;
    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    STDMETHODIMP GetCommandString(UINT_PTR command, UINT type, UINT* reserved, CHAR* name, UINT size) override;

private:
    ~MenuHandler() override = default;
    friend class com::Object<MenuHandler, IContextMenu, IShellExtInit>;

    ShredMenu menu_;
    ComPtr<IDataObject> data_;
};

}  // namespace shelvane
