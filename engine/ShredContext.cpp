#include "engine/ShredContext.h"

#include "common/Settings.h"
#include "engine/Reporting.h"
#include "engine/ShredPlan.h"
#include "lang/LanguagePack.h"
#include "lang/MessageText.h"

#include <new>

std::string ShredContext::LookupText(int key) const
{
    return LanguagePack::LookupText(appPath, language, key);
}

int ShredContext::Method() const
{
    return silent ? job.method : Settings::ReadNumber("Method", 0);
}

int UsablePassCount(int stored)
{
    return stored >= MinPassCount && stored <= MaxPassCount ? stored : DefaultPassCount;
}

int UsableJobPassCount(int given, int stored)
{
    if (given >= MinPassCount && given <= MaxPassCount)
        return given;
    if (given > MaxPassCount)
        return MaxPassCount;
    return UsablePassCount(stored);
}

int ShredContext::PassCount() const
{
    // A settled job count is read as it is, without the store.
    if (silent && job.passCount >= MinPassCount && job.passCount <= MaxPassCount)
        return job.passCount;
    int stored = Settings::ReadNumber("PassCount", DefaultPassCount);
    return silent ? UsableJobPassCount(job.passCount, stored) : UsablePassCount(stored);
}

int ShredContext::FolderPolicy() const
{
    return silent ? job.folderPolicy : Settings::ReadNumber("Folder", 0);
}

int ShredContext::RemovePolicy() const
{
    return silent ? job.removePolicy : Settings::ReadNumber("Remove", 0);
}

bool ShredContext::AllocateTransferBuffer()
{
    if (!transferBuffer)
        transferBuffer.reset(new (std::nothrow) unsigned char[TransferBufferSize]);
    return transferBuffer != nullptr;
}

void SettleJobPassCount(ShredContext& context)
{
    if (!context.silent)
        return;
    int given = context.job.passCount;
    int usable = context.PassCount();
    context.job.passCount = usable;
    if (given == usable || !IsThorough(context.job.method))
        return;
    unsigned used = static_cast<unsigned>(usable);
    std::string number = std::to_string(given);
    MessageText::Values values;
    values.u = &used;
    values.s = &number;
    LogMessage(context, MessageText::Compose(context.LookupText(context.job.passCountGiven ? 9241 : 9240), values));
}

const DriveEntry* DriveEntryOf(const ShredContext& context, const std::string& path)
{
    if (path.size() < 2 || path[1] != ':')
        return nullptr;
    char letter = path[0];
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    return letter >= 'A' && letter <= 'Z' ? &context.machine.drives[letter - 'A'] : nullptr;
}

bool IsNtfsDrive(const ShredContext& context, const std::string& path)
{
    const DriveEntry* drive = DriveEntryOf(context, path);
    return drive && drive->ntfs;
}
