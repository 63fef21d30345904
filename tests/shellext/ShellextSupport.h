// What the Shelvane tests need to meet the handler as the file manager does: a data object that
// offers a selection in the file-drop format, wide text helpers, a count of the processes the
// test process starts, and an answerer for the message boxes the command shows.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace shelltest {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& text);

// A file-drop block listing `paths`, in wide characters or, with `wide` false, in the system
// code page.
HGLOBAL MakeDropBlock(const std::vector<std::wstring>& paths, bool wide = true);

// The data object the file manager hands to IShellExtInit::Initialize: CF_HDROP in global
// memory, or (without a selection) no format at all. Its reference count is visible.
class DropDataObject final : public IDataObject {
public:
    static DropDataObject* Create(std::vector<std::wstring> paths) { return new DropDataObject(std::move(paths), true); }
    static DropDataObject* WithoutDrop() { return new DropDataObject({}, false); }
    ULONG References() const { return refs_; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    DropDataObject(std::vector<std::wstring> paths, bool offersDrop) : paths_(std::move(paths)), offersDrop_(offersDrop) {}
    ~DropDataObject() = default;
    bool Offers(const FORMATETC* format) const;

    std::vector<std::wstring> paths_;
    bool offersDrop_;
    ULONG refs_ = 1;
};

// Puts this process into a job object, so that every process it starts from now on, and
// whatever those start, is counted; false when it cannot.
bool StartCountingProcesses();
// The processes started since counting began.
DWORD ProcessesStarted();
// Waits until every process started so far has ended. When some still run after a minute, ends
// them (so none outlives the test to meet the next one) and returns false.
bool WaitForStartedProcesses();

// Waits up to a minute for a file to appear; false when it does not.
bool WaitForFile(const std::wstring& path);

// Presses OK on every message box titled `title` while it lives, and keeps each box's text.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(std::wstring title);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;
    std::vector<std::wstring> Texts();

private:
    void Run();

    std::wstring title_;
    std::atomic<bool> stop_{false};
    std::mutex lock_;
    std::vector<std::wstring> texts_;
    std::thread thread_;
};

// The program's settings key, written with the wide registry functions.
void SetSetting(const wchar_t* name, const std::wstring& value);

}  // namespace shelltest
