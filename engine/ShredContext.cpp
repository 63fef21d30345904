#include "engine/ShredContext.h"

#include "common/Settings.h"
#include "lang/LanguagePack.h"

#include <new>

std::string ShredContext::LookupText(int key) const
{
    return LanguagePack::LookupText(appPath, language, key);
}

int ShredContext::Method() const
{
    return silent ? job.method : Settings::ReadNumber("Method", 0);
}

int ShredContext::PassCount() const
{
    return silent ? job.passCount : Settings::ReadNumber("PassCount", 3);
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
