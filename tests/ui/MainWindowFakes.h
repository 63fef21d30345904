// Stand-ins for what the main window and its pages reach: a movie host that records what it is
// told, the system's dialogs answering from a script, the engine recording what it is handed,
// and a shell that records what it would open.
#pragma once

#include "engine/ItemShredder.h"
#include "ui/DocumentOpener.h"
#include "ui/ItemPages.h"
#include "ui/MovieHost.h"
#include "ui/ScheduleFrontEnd.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace uitest {

// Every call as text, in order: "Movie=...", "Scale=...", "Align=1", "Background=...",
// "Frame=N", and "name=value" for each variable.
class RecordingMovie : public MovieHost {
public:
    std::vector<std::string> calls;
    std::map<std::string, std::string> variables;

    void SetMovie(const std::string& path) override { calls.push_back("Movie=" + path); }
    void SetScale(const std::string& mode) override { calls.push_back("Scale=" + mode); }
    void SetAlignMode(long mode) override { calls.push_back("Align=" + std::to_string(mode)); }
    void SetBackgroundColor(long colour) override { calls.push_back("Background=" + std::to_string(colour)); }
    void GotoFrame(long frame) override { calls.push_back("Frame=" + std::to_string(frame)); }
    void SetVariable(const std::string& name, const std::string& value) override
    {
        calls.push_back(name + "=" + value);
        variables[name] = value;
    }
    std::string GetVariable(const std::string& name) const override
    {
        auto found = variables.find(name);
        return found == variables.end() ? std::string() : found->second;
    }
    long GetReadyState() const override { return 4; }

    // The calls made since `mark` (a size of `calls` taken earlier).
    std::vector<std::string> Since(size_t mark) const
    {
        return std::vector<std::string>(calls.begin() + static_cast<std::ptrdiff_t>(mark), calls.end());
    }
};

// The open-file dialog, the folder browser and the subfolder options, answering from queues;
// an empty queue cancels.
class ScriptedDialogs : public ItemDialogs {
public:
    struct FileAnswer {
        Choice choice;
        std::vector<std::string> paths;
    };
    std::deque<FileAnswer> files;
    std::deque<std::string> folders;  // "" with folderCancelled false: a chosen item without a path
    bool folderCancelled = false;
    std::deque<SubfolderPolicies> subfolderAnswers;  // OK with these values
    std::vector<SubfolderPolicies> subfolderShown;  // what the dialog was opened with
    std::vector<HWND> owners;

    Choice ChooseFiles(HWND owner, std::vector<std::string>& paths) override
    {
        owners.push_back(owner);
        if (files.empty())
            return Choice::Cancelled;
        FileAnswer answer = files.front();
        files.pop_front();
        paths = answer.paths;
        return answer.choice;
    }
    bool ChooseFolder(HWND owner, std::string& path) override
    {
        owners.push_back(owner);
        if (folderCancelled || folders.empty())
            return false;
        path = folders.front();
        folders.pop_front();
        return true;
    }
    bool EditSubfolderOptions(HWND owner, SubfolderPolicies& policies) override
    {
        owners.push_back(owner);
        subfolderShown.push_back(policies);
        if (subfolderAnswers.empty())
            return false;
        policies = subfolderAnswers.front();
        subfolderAnswers.pop_front();
        return true;
    }
};

// The engine's shredders, recording each call as "file:PATH", "folder:PATH[:system]",
// "removed-if-empty:PATH", "link:PATH", "wipe:ROOT" or "bin". Items exist when `existing`
// names them (with their attributes; the full path is "full:" + the item).
class RecordingShredders : public JobActions {
public:
    std::vector<std::string> calls;
    std::map<std::string, DWORD> existing;
    std::map<std::string, Flow> fileResults;     // default: go on
    std::map<std::string, bool> folderStops;     // default: not stopped
    std::function<void(const std::string& call)> during;  // runs inside every shredding call

    bool QueryStatus(const std::string& item, std::string& fullPath, DWORD& attributes) override
    {
        auto found = existing.find(item);
        if (found == existing.end())
            return false;
        fullPath = "full:" + item;
        attributes = found->second;
        return true;
    }
    bool ResolveShellPath(const std::string&, std::string&) override { return false; }
    Flow ShredFile(ShredContext&, const std::string& path) override
    {
        Record("file:" + path);
        auto found = fileResults.find(path);
        return found == fileResults.end() ? Flow::GoOn : found->second;
    }
    FolderResult ShredFolder(ShredContext&, const std::string& path, bool system) override
    {
        Record("folder:" + path + (system ? ":system" : ""));
        auto found = folderStops.find(path);
        return found != folderStops.end() && found->second ? FolderResult::Stopped : FolderResult::Done;
    }
    void RemoveFolderIfEmpty(ShredContext&, const std::string& path) override { Record("removed-if-empty:" + path); }
    void RemoveLink(ShredContext&, const std::string& path) override { Record("link:" + path); }
    void WipeFreeSpace(ShredContext&, const std::string& root) override { Record("wipe:" + root); }
    void ShredRecycleBinNow(ShredContext&) override { Record("bin"); }

private:
    void Record(const std::string& call)
    {
        calls.push_back(call);
        if (during)
            during(call);
    }
};

// "FILE|FOLDER|SHOW" for each document the window would open.
class RecordingOpener : public DocumentOpener {
public:
    std::vector<std::string> opened;
    void Open(const std::string& file, const std::string& folder, int show) override
    {
        opened.push_back(file + "|" + folder + "|" + std::to_string(show));
    }
};

// The scheduling front end, recording each call ("files:N", "folders:N", "drive:LABEL", "bin",
// "reload", "delete-all:N", "delete:NAME@INDEX", "run:NAME@INDEX", "properties:NAME@INDEX") and
// whether the main window took input meanwhile.
class RecordingSchedule : public ScheduleFrontEnd {
public:
    std::vector<std::string> calls;
    std::vector<bool> windowEnabled;  // at each call
    HWND window = nullptr;
    bool listsEmptied = true;  // the list actions empty their list and say so
    std::vector<std::pair<std::string, short>> tasks;  // what a reload finds
    TaskListChange change = TaskListChange::None;  // what the task actions did

    bool ScheduleFiles(ItemList& files) override { return List("files:", files); }
    bool ScheduleFolders(ItemList& folders) override { return List("folders:", folders); }
    void ScheduleDrive(const std::string& label) override { Record("drive:" + label); }
    void ScheduleRecycleBin() override { Record("bin"); }
    void ReloadTaskList(TaskList& list) override
    {
        Record("reload");
        Fill(list);
    }
    TaskListChange DeleteAllTasks(TaskList& list) override
    {
        Record("delete-all:" + std::to_string(list.Count()));
        return Answer(list);
    }
    TaskListChange DeleteTask(TaskList& list, size_t position) override { return Task("delete:", list, position); }
    TaskListChange RunTask(TaskList& list, size_t position) override { return Task("run:", list, position); }
    TaskListChange ShowTaskProperties(TaskList& list, size_t position) override
    {
        return Task("properties:", list, position);
    }

private:
    void Record(const std::string& call)
    {
        calls.push_back(call);
        windowEnabled.push_back(window && IsWindowEnabled(window));
    }
    bool List(const char* kind, ItemList& list)
    {
        Record(kind + std::to_string(list.Count()));
        if (listsEmptied)
            list.Clear();
        return listsEmptied;
    }
    void Fill(TaskList& list)
    {
        list.Clear();
        for (const auto& task : tasks)
            list.Append(task.first, task.second);
    }
    TaskListChange Answer(TaskList& list)
    {
        if (change == TaskListChange::Emptied)
            list.Clear();
        if (change == TaskListChange::Reloaded)
            Fill(list);
        return change;
    }
    TaskListChange Task(const char* kind, TaskList& list, size_t position)
    {
        Record(kind + list.Names()[position] + "@" + std::to_string(list.TaskIndexAt(position)));
        return Answer(list);
    }
};

}  // namespace uitest
