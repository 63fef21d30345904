// A folder tree held in memory, standing in for the disk under the folder and bin walks: it lists
// entries in the order they were added (with "." and ".." first, as the file system does),
// records every action and can carry links, names that do not come through the code page and
// folders known by several names, which the file systems under Wine cannot.
#pragma once

#include "engine/ShredContext.h"
#include "engine/FolderShredder.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace test {

class MemoryFolders : public FolderSystem {
public:
    // Adds a folder or file below its parent (which must exist, except for a top folder).
    void AddFolder(const std::string& path, DWORD attributes = 0)
    {
        Add(path, FILE_ATTRIBUTE_DIRECTORY | attributes);
        entries_[path];
    }
    void AddFile(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_ARCHIVE) { Add(path, attributes); }
    // A link to a folder; entries added below it stand for its target's contents.
    void AddFolderLink(const std::string& path)
    {
        AddFolder(path, FILE_ATTRIBUTE_REPARSE_POINT);
    }
    void AddFileLink(const std::string& path) { AddFile(path, FILE_ATTRIBUTE_REPARSE_POINT); }
    // What a link points to (a path of this tree, or outside it).
    void PointLink(const std::string& link, const std::string& target) { linkTargets_[link] = target; }
    // An entry of `folder` listed as `name` (not `exact` when the code page could not hold it),
    // with its short name; it lives at folder\shortName, or at folder\name when it has none
    // (`name` may hold a '\\': it is still an entry of `folder`).
    void AddListedFile(const std::string& folder, const std::string& name, bool exact, const std::string& shortName)
    {
        AddListed(folder, name, exact, shortName, FILE_ATTRIBUTE_ARCHIVE);
    }
    void AddListedFolder(const std::string& folder, const std::string& name, bool exact, const std::string& shortName)
    {
        entries_[AddListed(folder, name, exact, shortName, FILE_ATTRIBUTE_DIRECTORY)];
    }
    // `path` names the same folder or file as `other` (another drive letter, a share, a
    // junction higher up); it need not be part of the tree.
    void SameIdentity(const std::string& path, const std::string& other)
    {
        identities_[path] = IdentityNumber(other);
        aliases_.insert(path);
    }

    bool Exists(const std::string& path) const { return attributes_.count(path) != 0; }
    // The names in a folder, in listing order ("." and ".." left out).
    std::vector<std::string> Names(const std::string& folder) const
    {
        auto found = entries_.find(folder);
        return found == entries_.end() ? std::vector<std::string>() : found->second;
    }

    // What was done, in order: "shred <path> <origin>", "rmdir <path>", "unlink-dir <path>",
    // "unlink-file <path>", "list <folder>", "rename <path>" (to a name of the same length in the
    // same folder; checked here) and "name back <path>"; a folder removed under the name it was
    // given shows as "rmdir <its first path> (renamed)".
    std::vector<std::string> actions;
    int openListings = 0;
    int mostOpenListings = 0;

    // Files whose shred answers stop; files whose shred sets the stop request instead.
    std::set<std::string> stopAt;
    std::set<std::string> stopRequestAt;
    // Files a shred leaves in place (as a locked file would stay).
    std::set<std::string> keep;
    // Errors of removals and of renames, by path.
    std::map<std::string, int> removeErrors;
    std::map<std::string, DWORD> renameErrors;
    // Renames that find their new name taken by a sibling, and whether giving a name back fails.
    int renamesTaken = 0;
    bool nameBackFails = false;
    std::map<std::string, DWORD> linkErrors;
    // Links whose removal answers success but leaves them; links whose removal takes the target.
    std::set<std::string> linksThatStay;
    std::set<std::string> linksTakingTargets;

    std::unique_ptr<FolderListing> List(const std::string& pattern) override
    {
        const std::string suffix = "\\*.*";
        if (pattern.size() < suffix.size() || pattern.compare(pattern.size() - suffix.size(), suffix.size(), suffix) != 0)
            return nullptr;
        std::string folder = pattern.substr(0, pattern.size() - suffix.size());
        auto found = entries_.find(folder);
        if (found == entries_.end() || broken.count(folder))
            return nullptr;
        actions.push_back("list " + folder);
        std::vector<FolderEntry> listed;
        listed.push_back(Entry(".", FILE_ATTRIBUTE_DIRECTORY));
        listed.push_back(Entry("..", FILE_ATTRIBUTE_DIRECTORY));
        for (const std::string& name : found->second) {
            const std::string path = folder + "\\" + name;
            auto odd = listedAs_.find(path);
            if (odd == listedAs_.end()) {
                listed.push_back(Entry(name.c_str(), attributes_[path]));
                continue;
            }
            FolderEntry entry = Entry(odd->second.name.c_str(), attributes_[path]);
            entry.exact = odd->second.exact;
            strncpy(entry.shortName, odd->second.shortName.c_str(), sizeof(entry.shortName) - 1);
            listed.push_back(entry);
        }
        return std::make_unique<Listing>(*this, listed);
    }
    DWORD Attributes(const std::string& path) override
    {
        auto found = attributes_.find(path);
        return found == attributes_.end() ? INVALID_FILE_ATTRIBUTES : found->second;
    }
    Flow ShredFile(ShredContext& context, const std::string& path, ItemOrigin origin) override;
    int RemoveFolder(const std::string& path) override
    {
        auto renamed = renamedFrom_.find(path);
        actions.push_back("rmdir " + (renamed != renamedFrom_.end() ? renamed->second + " (renamed)" : path));
        // Errors are given by the path a folder had before it was renamed.
        const std::string original = renamed != renamedFrom_.end() ? renamed->second : path;
        if (removeErrors.count(original))
            return removeErrors[original];
        if (!entries_[path].empty())
            return ENOTEMPTY;
        Remove(path);
        entries_.erase(path);
        return 0;
    }
    DWORD RenameFolder(const std::string& from, const std::string& to) override
    {
        auto renamed = renamedFrom_.find(from);
        if (renamed != renamedFrom_.end() && renamed->second == to) {
            actions.push_back("name back " + to);
            if (nameBackFails)
                return ERROR_ACCESS_DENIED;
            renamedFrom_.erase(renamed);
        } else {
            actions.push_back("rename " + from);
            // A random name of the same length in the same folder, and a new one.
            std::string::size_type slash = from.rfind('\\');
            bool sameFolder = slash != std::string::npos && to.size() == from.size() && to.compare(0, slash + 1, from, 0, slash + 1) == 0;
            if (!sameFolder || to == from)
                actions.push_back("bad rename to " + to);
            renamedFrom_[to] = from;
        }
        if (renameErrors.count(from))
            return renameErrors[from];
        if (renamesTaken > 0) {
            --renamesTaken;
            return ERROR_ALREADY_EXISTS;
        }
        if (Exists(to))
            return ERROR_ALREADY_EXISTS;
        Move(from, to);
        return 0;
    }
    DWORD CreateEmptyFile(const std::string& path) override
    {
        scratch.push_back("make " + path);
        if (Exists(path))
            return ERROR_FILE_EXISTS;
        AddFile(path);
        return 0;
    }
    DWORD DeleteEmptyFile(const std::string& path) override
    {
        scratch.push_back("delete " + path);
        if (!Exists(path))
            return ERROR_FILE_NOT_FOUND;
        Remove(path);
        return 0;
    }
    // The empty files made and deleted, in order ("make <path>", "delete <path>"), kept apart
    // from `actions`.
    std::vector<std::string> scratch;

    DWORD RemoveLink(const std::string& path, bool directory) override
    {
        actions.push_back((directory ? "unlink-dir " : "unlink-file ") + path);
        if (linkErrors.count(path))
            return linkErrors[path];
        if (linksThatStay.count(path))
            return 0;
        if (linksTakingTargets.count(path))
            Remove(linkTargets_[path]);
        Remove(path);
        return 0;
    }
    bool Identity(const std::string& path, FileIdentity& identity) override
    {
        auto link = linkTargets_.find(path);
        const std::string& reached = link != linkTargets_.end() && Exists(path) ? link->second : path;
        if (!Exists(reached) && !aliases_.count(reached))
            return false;
        identity = FileIdentity();
        identity.volume = 0x5A;
        identity.indexLow = IdentityNumber(reached);
        return true;
    }
    std::string LinkTarget(const std::string& path) override
    {
        auto link = linkTargets_.find(path);
        return link != linkTargets_.end() && Exists(path) ? link->second : std::string();
    }

    // Folders whose listing cannot be opened.
    std::set<std::string> broken;

private:
    class Listing : public FolderListing {
    public:
        Listing(MemoryFolders& owner, std::vector<FolderEntry> entries) : owner_(owner), entries_(std::move(entries))
        {
            ++owner_.openListings;
            if (owner_.openListings > owner_.mostOpenListings)
                owner_.mostOpenListings = owner_.openListings;
        }
        ~Listing() override { --owner_.openListings; }
        bool Next(FolderEntry& entry) override
        {
            if (next_ >= entries_.size())
                return false;
            entry = entries_[next_++];
            return true;
        }

    private:
        MemoryFolders& owner_;
        std::vector<FolderEntry> entries_;
        size_t next_ = 0;
    };

    static FolderEntry Entry(const char* name, DWORD attributes)
    {
        FolderEntry entry = {};
        strncpy(entry.name, name, sizeof(entry.name) - 1);
        entry.attributes = attributes;
        return entry;
    }
    std::string AddListed(const std::string& folder, const std::string& name, bool exact, const std::string& shortName,
                          DWORD attributes)
    {
        const std::string key = shortName.empty() ? name : shortName;
        const std::string path = folder + "\\" + key;
        listedAs_[path] = {name, exact, shortName};
        attributes_[path] = attributes;
        entries_[folder].push_back(key);
        return path;
    }
    void Add(const std::string& path, DWORD attributes)
    {
        attributes_[path] = attributes;
        std::string::size_type slash = path.rfind('\\');
        if (slash != std::string::npos && entries_.count(path.substr(0, slash)))
            entries_[path.substr(0, slash)].push_back(path.substr(slash + 1));
    }
    // Gives an entry, and everything below it, the path `to` (same folder, same position).
    void Move(const std::string& from, const std::string& to)
    {
        std::string::size_type slash = from.rfind('\\');
        auto parent = entries_.find(from.substr(0, slash));
        if (parent != entries_.end()) {
            for (std::string& name : parent->second) {
                if (name == from.substr(slash + 1))
                    name = to.substr(slash + 1);
            }
        }
        auto moveKeys = [&](auto& map) {
            std::vector<std::string> keys;
            for (const auto& item : map) {
                if (item.first == from || item.first.compare(0, from.size() + 1, from + "\\") == 0)
                    keys.push_back(item.first);
            }
            for (const std::string& key : keys) {
                auto value = map[key];
                map.erase(key);
                map[to + key.substr(from.size())] = value;
            }
        };
        moveKeys(attributes_);
        moveKeys(entries_);
    }
    void Remove(const std::string& path)
    {
        attributes_.erase(path);
        std::string::size_type slash = path.rfind('\\');
        auto parent = entries_.find(path.substr(0, slash));
        if (parent != entries_.end()) {
            auto& names = parent->second;
            for (auto at = names.begin(); at != names.end(); ++at) {
                if (*at == path.substr(slash + 1)) {
                    names.erase(at);
                    break;
                }
            }
        }
    }

    struct Listed {
        std::string name;
        bool exact;
        std::string shortName;
    };
    DWORD IdentityNumber(const std::string& path)
    {
        auto found = identities_.find(path);
        if (found != identities_.end())
            return found->second;
        DWORD number = static_cast<DWORD>(identities_.size() + 1);
        identities_[path] = number;
        return number;
    }

    std::map<std::string, DWORD> attributes_;
    std::map<std::string, std::vector<std::string>> entries_;
    std::map<std::string, Listed> listedAs_;
    std::map<std::string, std::string> linkTargets_;
    std::map<std::string, DWORD> identities_;
    std::set<std::string> aliases_;
    std::map<std::string, std::string> renamedFrom_;  // a folder's given name: the path it had
};

inline Flow MemoryFolders::ShredFile(ShredContext& context, const std::string& path, ItemOrigin origin)
{
    actions.push_back("shred " + path + " " + std::to_string(static_cast<int>(origin)));
    if (!keep.count(path))
        Remove(path);
    if (stopRequestAt.count(path))
        context.stopRequest = 1;
    return stopAt.count(path) != 0 ? Flow::Stop : Flow::GoOn;
}

}  // namespace test
