#include "ShellextSupport.h"

#include "common/ScopedWin.h"
#include "common/Settings.h"

#include <shlobj.h>

#include <cstring>

namespace shelltest {

std::wstring Wide(const std::string& utf8)
{
    int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(size > 0 ? size : 0, L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], size);
    return text;
}

std::string Utf8(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    return bytes;
}

HGLOBAL MakeDropBlock(const std::vector<std::wstring>& paths, bool wide)
{
    std::string names;
    for (const std::wstring& path : paths) {
        if (wide) {
            names.append(reinterpret_cast<const char*>(path.c_str()), (path.size() + 1) * sizeof(wchar_t));
        } else {
            int size = WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
            std::string narrow(size, '\0');
            WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, &narrow[0], size, nullptr, nullptr);
            names += narrow;
        }
    }
    names.append(wide ? sizeof(wchar_t) : 1, '\0');
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size());
    if (!block)
        return nullptr;
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = wide;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), names.data(), names.size());
    GlobalUnlock(block);
    return block;
}

STDMETHODIMP DropDataObject::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDataObject) {
        *object = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) DropDataObject::Release()
{
    ULONG refs = --refs_;
    if (refs == 0)
        delete this;
    return refs;
}

bool DropDataObject::Offers(const FORMATETC* format) const
{
    return offersDrop_ && format && format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) &&
           format->dwAspect == DVASPECT_CONTENT;
}

STDMETHODIMP DropDataObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    if (!medium)
        return E_POINTER;
    if (!Offers(format))
        return DV_E_FORMATETC;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = MakeDropBlock(paths_);
    medium->pUnkForRelease = nullptr;
    return medium->hGlobal ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP DropDataObject::QueryGetData(FORMATETC* format)
{
    return Offers(format) ? S_OK : DV_E_FORMATETC;
}

STDMETHODIMP DropDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out)
{
    if (out)
        out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

namespace {

HANDLE TestJob()
{
    static HANDLE job = [] {
        HANDLE created = CreateJobObjectW(nullptr, nullptr);
        if (created && !AssignProcessToJobObject(created, GetCurrentProcess())) {
            CloseHandle(created);
            created = nullptr;
        }
        return created;
    }();
    return job;
}

bool JobCounts(JOBOBJECT_BASIC_ACCOUNTING_INFORMATION& info)
{
    HANDLE job = TestJob();
    return job && QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof(info), nullptr);
}

}  // namespace

bool StartCountingProcesses()
{
    return TestJob() != nullptr;
}

DWORD ProcessesStarted()
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
    if (!JobCounts(info))
        return 0xFFFFFFFF;  // no count: a test comparing counts fails
    return info.TotalProcesses - 1;
}

bool WaitForStartedProcesses()
{
    for (int tries = 0; tries < 1200; ++tries) {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
        if (!JobCounts(info))
            return false;
        if (info.ActiveProcesses <= 1)
            return true;
        Sleep(50);
    }
    struct {
        JOBOBJECT_BASIC_PROCESS_ID_LIST list;
        ULONG_PTR more[63];
    } running = {};
    running.list.NumberOfAssignedProcesses = 64;
    if (QueryInformationJobObject(TestJob(), JobObjectBasicProcessIdList, &running, sizeof(running), nullptr)) {
        for (DWORD i = 0; i < running.list.NumberOfProcessIdsInList; ++i) {
            DWORD id = static_cast<DWORD>(running.list.ProcessIdList[i]);
            if (id == GetCurrentProcessId())
                continue;
            AutoHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, id));
            if (process)
                TerminateProcess(process.Get(), 1);  // best effort: the test fails either way
        }
    }
    return false;
}

bool WaitForFile(const std::wstring& path)
{
    for (int tries = 0; tries < 1200; ++tries) {
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(50);
    }
    return false;
}

MessageBoxAnswerer::MessageBoxAnswerer(std::wstring title) : title_(std::move(title)), thread_([this] { Run(); }) {}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    stop_ = true;
    thread_.join();
}

std::vector<std::wstring> MessageBoxAnswerer::Texts()
{
    std::lock_guard<std::mutex> guard(lock_);
    return texts_;
}

namespace {

struct BoxSearch {
    const std::wstring* title;
    HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<BoxSearch*>(context);
    wchar_t className[16] = {};
    wchar_t title[512] = {};
    GetClassNameW(window, className, 16);
    GetWindowTextW(window, title, 512);
    if (wcscmp(className, L"#32770") == 0 && *search->title == title && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM context)
{
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    if (lstrcmpiW(className, L"Static") != 0)
        return TRUE;
    int length = GetWindowTextLengthW(child);
    if (length > 0) {
        std::wstring text(length + 1, L'\0');
        text.resize(GetWindowTextW(child, &text[0], length + 1));
        auto* collected = reinterpret_cast<std::wstring*>(context);
        *collected += text;
    }
    return TRUE;
}

}  // namespace

void MessageBoxAnswerer::Run()
{
    while (!stop_) {
        BoxSearch search = {&title_, nullptr};
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        if (!search.found) {
            Sleep(20);
            continue;
        }
        std::wstring text;
        EnumChildWindows(search.found, CollectStaticText, reinterpret_cast<LPARAM>(&text));
        {
            std::lock_guard<std::mutex> guard(lock_);
            texts_.push_back(text);
        }
        PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        for (int tries = 0; tries < 1200 && IsWindow(search.found) && IsWindowVisible(search.found); ++tries)
            Sleep(20);
    }
}

void SetSetting(const wchar_t* name, const std::wstring& value)
{
    std::wstring keyPath(Settings::KeyPath, Settings::KeyPath + std::strlen(Settings::KeyPath));
    AutoRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(),
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace shelltest
