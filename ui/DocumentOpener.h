// Opening a document or program through the shell ("open" verb): the shred log, the help file,
// the system information tool. A failure to open is not reported: each of these is a
// convenience whose absence the user sees at once. Tests stand in to see what would be opened.
#pragma once

#include <string>

class DocumentOpener {
public:
    virtual ~DocumentOpener() = default;
    // Opens `file` with `folder` as its working folder, in the show state `show` (SW_...).
    virtual void Open(const std::string& file, const std::string& folder, int show) = 0;
};

DocumentOpener& ShellDocuments();
