#include "ui/DocumentOpener.h"

#include <windows.h>

#include <shellapi.h>

namespace {

class ShellOpener : public DocumentOpener {
public:
    void Open(const std::string& file, const std::string& folder, int show) override
    {
        SHELLEXECUTEINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_FLAG_NO_UI;  // the shell shows no error of its own either
        info.lpVerb = "open";
        info.lpFile = file.c_str();
        info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
        info.nShow = show;
        ShellExecuteExA(&info);  // a failure is ignored, as the header says
    }
};

}  // namespace

DocumentOpener& ShellDocuments()
{
    static ShellOpener opener;
    return opener;
}
