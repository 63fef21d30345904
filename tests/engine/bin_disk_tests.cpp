// The Recycle Bin shredder on real bin folders built on drive C: for each layout, with the real
// file and folder shredders; only the shell's query and emptying are stood in for.
#include "common/Settings.h"
#include "engine/ShredContext.h"
#include "common/ScopedWin.h"
#include "engine/FolderShredder.h"
#include "engine/RecycleBinShredder.h"
#include "tests/support/TestSupport.h"

#include <doctest/doctest.h>

#include <cstring>

namespace {

class CountingShell : public RecycleBinShell {
public:
    long long items = 3;
    std::vector<std::string> emptied;
    LoadResult Load() override { return LoadResult::Loaded; }
    void Unload() override {}
    HRESULT Query(const std::string& root, long long* count) override
    {
        *count = root == "C:\\" ? items : 0;
        return S_OK;
    }
    void Empty(const std::string& root) override { emptied.push_back(root); }
};

const char* const UserSid = "S-1-5-21-7-8-9-1000";

// A bin tree below C:\ made for one test and removed afterwards; it must not exist before.
struct DiskBin {
    test::FreshSettings settings;
    test::TempFolder log{"binlog"};
    test::ScriptedChannel channel;
    ShredContext context;
    CountingShell shell;
    std::string top;
    std::string bin;  // with its trailing '\'

    DiskBin(const std::string& topFolder, const std::string& binFolder) : top(topFolder), bin(binFolder)
    {
        REQUIRE_FALSE(test::FileExists(top));
        test::PrepareShredder(context, channel, log.Path());
        context.machine.sid = UserSid;
        std::strcpy(context.machine.drives[2].root, "C:\\");
        CreateDirectoryA(top.c_str(), nullptr);
        CreateDirectoryA(bin.c_str(), nullptr);
        REQUIRE(test::FileExists(bin));
    }
    ~DiskBin() { test::RemoveTree(top); }
    void Write(const std::string& name, const std::string& bytes) { test::WriteFileBytes(bin + name, bytes); }
    std::string Read(const std::string& name) const { return test::ReadFileBytes(bin + name); }
    bool Exists(const std::string& name) const { return test::FileExists(bin + name); }
};

const std::string Secret(1000, 'S');

std::vector<std::string> Names(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    AutoFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &entry));
    if (!find)
        return {"(cannot be listed)"};
    do {
        if (std::strcmp(entry.cFileName, ".") != 0 && std::strcmp(entry.cFileName, "..") != 0)
            names.push_back(entry.cFileName);
    } while (FindNextFileA(find.Get(), &entry));
    return names;
}

}  // namespace

TEST_CASE("a classic bin on a drive that is not NTFS")
{
    DiskBin disk("C:\\RECYCLED", "C:\\RECYCLED\\");
    disk.Write("INFO2", "index records");
    disk.Write("desktop.ini", "[.ShellClassInfo]\r\nold");
    // The shell makes its desktop.ini hidden and system; it must still be rewritten.
    SetFileAttributesA((disk.bin + "desktop.ini").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    disk.Write("Dc1.txt", Secret);
    CreateDirectoryA((disk.bin + "Dc2").c_str(), nullptr);
    CreateDirectoryA((disk.bin + "Dc2\\sub").c_str(), nullptr);
    CreateDirectoryA((disk.bin + "Dc2\\sub\\deep").c_str(), nullptr);
    disk.Write("Dc2\\f.txt", Secret);
    disk.Write("Dc2\\sub\\g.txt", Secret);
    disk.Write("Dc2\\sub\\deep\\h.txt", Secret);

    ShredRecycleBin(disk.context, disk.shell, BinLayout::Classic, DiskFolders());

    CHECK(disk.Read("INFO2") == "index records");
    CHECK(disk.Read("desktop.ini") == std::string(BinDesktopIni, BinDesktopIniSize));
    CHECK(disk.Read("desktop.ini").size() == 65);
    // Files of the bin are overwritten and cut in place; the shell's emptying removes them.
    CHECK(disk.Exists("Dc1.txt"));
    CHECK(disk.Read("Dc1.txt").empty());
    // A deleted folder: its files destroyed, its own subfolders emptied, everything below gone.
    CHECK(Names(disk.bin + "Dc2") == std::vector<std::string>{"sub"});
    CHECK(Names(disk.bin + "Dc2\\sub").empty());
    CHECK(disk.shell.emptied == std::vector<std::string>{"C:\\"});
    CHECK(disk.channel.questions.size() == 1);  // the confirmation only
    CHECK(disk.context.progressWindow == nullptr);
}

TEST_CASE("a classic bin on an NTFS drive is the user's own folder below Recycler")
{
    DiskBin disk("C:\\Recycler", std::string("C:\\Recycler\\") + UserSid + "\\");
    disk.context.machine.drives[2].ntfs = true;
    CreateDirectoryA("C:\\Recycler\\S-1-5-21-7-8-9-1001", nullptr);
    test::WriteFileBytes("C:\\Recycler\\S-1-5-21-7-8-9-1001\\Dc1.txt", Secret);
    disk.Write("INFO2", "index records");
    disk.Write("Dc1.txt", Secret);

    ShredRecycleBin(disk.context, disk.shell, BinLayout::Classic, DiskFolders());

    CHECK(disk.Exists("Dc1.txt"));
    CHECK(disk.Read("Dc1.txt").empty());
    CHECK(disk.Read("INFO2") == "index records");
    CHECK(disk.Read("desktop.ini") == std::string(BinDesktopIni, BinDesktopIniSize));
    CHECK(test::ReadFileBytes("C:\\Recycler\\S-1-5-21-7-8-9-1001\\Dc1.txt") == Secret);  // another user's bin
}

TEST_CASE("a per-user bin keeps its $I files and its own desktop.ini")
{
    DiskBin disk("C:\\$Recycle.Bin", std::string("C:\\$Recycle.Bin\\") + UserSid + "\\");
    CreateDirectoryA("C:\\$Recycle.Bin\\S-1-5-18", nullptr);
    test::WriteFileBytes("C:\\$Recycle.Bin\\S-1-5-18\\$RAAAAAA.txt", Secret);
    disk.Write("desktop.ini", "[.ShellClassInfo]\r\nkept");
    disk.Write("$IAB12CD.txt", "index of the file");
    disk.Write("$RAB12CD.txt", Secret);
    disk.Write("$IEF34GH", "index of the folder");
    CreateDirectoryA((disk.bin + "$REF34GH").c_str(), nullptr);
    disk.Write("$REF34GH\\inner.doc", Secret);

    ShredRecycleBin(disk.context, disk.shell, BinLayout::PerUser, DiskFolders());

    CHECK(disk.Read("$IAB12CD.txt") == "index of the file");
    CHECK(disk.Read("$IEF34GH") == "index of the folder");
    CHECK(disk.Read("desktop.ini") == "[.ShellClassInfo]\r\nkept");
    CHECK(disk.Exists("$RAB12CD.txt"));
    CHECK(disk.Read("$RAB12CD.txt").empty());
    CHECK(Names(disk.bin + "$REF34GH").empty());
    CHECK(test::ReadFileBytes("C:\\$Recycle.Bin\\S-1-5-18\\$RAAAAAA.txt") == Secret);
    CHECK(disk.shell.emptied == std::vector<std::string>{"C:\\"});
}

