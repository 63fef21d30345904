#include "schedule/TaskSchedule.h"

#include "common/CodePage.h"
#include "common/Settings.h"
#include "engine/ItemShredder.h"
#include "engine/Reporting.h"
#include "lang/MessageText.h"
#include "schedule/JobCommandLine.h"
#include "ui/TaskNameDlg.h"

#include <windows.h>

#include <climits>

const char* const TaskCreatorMark = "Vantor-Shredder";

namespace {

// Room in a task's line for everything but its items: the longest name a task can have, the
// switches with numbers of any size, their quotes and blanks.
constexpr size_t LineWithoutItems = MAX_PATH + 6 * 16;

// The collection's indexes are 16-bit.
constexpr long MaxTaskIndex = SHRT_MAX;

size_t Characters(const std::string& text)
{
    std::wstring wide = CodePage::Widen(text);
    return wide.empty() ? text.size() : wide.size();
}

std::string Composed(const ShredContext& context, int key, const std::string& s)
{
    MessageText::Values values;
    values.s = &s;
    return MessageText::Compose(context.LookupText(key), values);
}

// The item texts of a task's line, one after the other (each brings its own quotes and blank).
std::string Joined(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += item;
    return text;
}

}  // namespace

TaskSchedule::TaskSchedule(ShredContext& context, IDispatch* scheduler) : context_(context), schedule_(scheduler)
{
}

std::string TaskSchedule::ProgramPath() const
{
    return context_.appPath + "\\Nullwright.exe";
}

bool TaskSchedule::HaveScheduler()
{
    if (schedule_)
        return true;
    AskInPerson(context_, WarningStyle::Notice, MessageText::ExpandLineBreaks(context_.LookupText(9270)));
    return false;
}

ComponentResult TaskSchedule::RefreshedCount(long& count) const
{
    ComponentResult result = schedule_.Refresh();
    if (result.Ok())
        result = schedule_.Count(count);
    return result;
}

long TaskSchedule::IndexOfTask(const std::string& name, long count) const
{
    for (long i = count < MaxTaskIndex ? count : MaxTaskIndex; i >= 1; --i) {
        ScheduledJob job;
        std::string taskName;
        if (schedule_.Job(i, job).Ok() && job.Name(taskName).Ok() && taskName == name)
            return i;
    }
    return 0;
}

void TaskSchedule::ReportError(const ComponentResult& failure)
{
    AskInPerson(context_, WarningStyle::Error, Composed(context_, 9276, failure.Text()));
}

// ---------------------------------------------------------------------------------------------
// Making a task.

TaskNameState TaskSchedule::Check(const std::string& name)
{
    long count = 0;
    ComponentResult result = RefreshedCount(count);
    if (!result.Ok()) {
        ReportError(result);
        return TaskNameState::Unknown;
    }
    return IndexOfTask(name, count) != 0 ? TaskNameState::Taken : TaskNameState::Free;
}

std::string TaskSchedule::CreateShredTask()
{
    std::string name;
    if (!AskTaskName(context_.parentWindow, context_, *this, name))
        return std::string();
    ScheduledJob job;
    ComponentResult result = schedule_.CreateTask(name, job);
    if (!result.Ok()) {
        ReportError(result);
        return std::string();
    }
    task_ = job;
    taskName_ = name;
    result = task_.SetCreator(TaskCreatorMark);
    if (result.Ok())
        result = task_.SetApplicationName(ProgramPath());
    if (!result.Ok()) {
        AbandonTask(name, result);
        return std::string();
    }
    return name;
}

bool TaskSchedule::CompleteTask(const std::string& commandLine)
{
    ComponentResult result = task_.SetCommandLine(commandLine);
    if (result.Ok())
        result = task_.Save();
    if (!result.Ok()) {
        AbandonTask(taskName_, result);
        return false;
    }
    result = task_.ShowProperties();
    if (!result.Ok())
        ReportError(result);  // the task is complete; its schedule can be set later
    return true;
}

void TaskSchedule::AbandonTask(const std::string& name, const ComponentResult& failure)
{
    task_ = ScheduledJob();
    // A new task is the last of the collection; after a refresh it is wherever its name is.
    ComponentResult deleted = failure;
    for (int attempt = 0; attempt < 2 && !deleted.Ok(); ++attempt) {
        if (attempt == 1 && !schedule_.Refresh().Ok())
            break;
        long count = 0;
        if (!schedule_.Count(count).Ok())
            break;
        if (long index = IndexOfTask(name, count))
            deleted = schedule_.Delete(index);
    }
    std::string text = Composed(context_, 9276, failure.Text());
    text += "\n" + Composed(context_, deleted.Ok() ? 9277 : 9278, name);
    AskInPerson(context_, WarningStyle::Error, text);
}

bool TaskSchedule::FitOneTask(const std::vector<std::string>& items)
{
    size_t fixed = Characters(ProgramPath()) + 3 + LineWithoutItems;  // the quoted program and a blank
    size_t room = MaxTaskStartLine > fixed ? MaxTaskStartLine - fixed : 0;
    size_t used = 0;
    size_t fitting = 0;
    for (const std::string& item : items) {
        used += Characters(item);
        if (used > room)
            break;
        ++fitting;
    }
    if (fitting == items.size())
        return true;
    unsigned fit = static_cast<unsigned>(fitting), total = static_cast<unsigned>(items.size());
    MessageText::Values values;
    values.u = &fit;
    values.t = &total;
    AskInPerson(context_, WarningStyle::Notice, MessageText::Compose(context_.LookupText(9275), values));
    return false;
}

// ---------------------------------------------------------------------------------------------
// The schedule actions.

ScheduleCheck TaskSchedule::CheckFileForSchedule(const std::string& path)
{
    std::string fullPath;
    DWORD attributes = 0;
    if (!QueryItemStatus(path, fullPath, attributes)) {
        std::string text = MessageText::WithPath(context_.LookupText(9034), path);
        MessageBoxA(nullptr, text.c_str(), context_.title.c_str(), MB_OK);  // only OK to press
        return ScheduleCheck::Missing;
    }
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
        Answer answer = AskInPerson(context_, WarningStyle::YesNoCancel,
                                    MessageText::WithPath(context_.LookupText(9054), path));
        if (answer == Answer::Cancel)
            return ScheduleCheck::Cancelled;
        return answer == Answer::Positive ? ScheduleCheck::Passed : ScheduleCheck::Missing;
    }
    return ScheduleCheck::Passed;
}

bool TaskSchedule::ScheduleFiles(ItemList& files)
{
    if (!HaveScheduler())
        return false;
    if (files.Empty()) {
        AskInPerson(context_, WarningStyle::Notice, context_.LookupText(9019));
        return false;
    }
    // A copy: the list is emptied at the end whatever happens to it meanwhile.
    const std::vector<std::string> entries = files.Entries();
    std::vector<std::string> items;
    for (size_t i = 0; i < entries.size(); ++i) {
        ScheduleCheck check = CheckFileForSchedule(entries[i]);
        if (check == ScheduleCheck::Cancelled) {
            files.Clear();
            return true;
        }
        if (check == ScheduleCheck::Passed)
            items.push_back(TaskItem(entries[i], i == 0));
    }
    if (items.empty()) {
        files.Clear();
        return true;
    }
    if (!FitOneTask(items))
        return false;  // the list stays, for the user to choose fewer
    std::string name = CreateShredTask();
    if (!name.empty()) {
        int passCount = Settings::ReadNumber("PassCount", 3);
        int method = Settings::ReadNumber("Method", 0);
        CompleteTask(FilesTaskLine(name, method, passCount, Joined(items)));
    }
    files.Clear();
    return true;
}

bool TaskSchedule::ScheduleFolders(ItemList& folders)
{
    if (!HaveScheduler())
        return false;
    if (folders.Empty()) {
        AskInPerson(context_, WarningStyle::Notice, context_.LookupText(9030));
        return false;
    }
    const std::vector<std::string> entries = folders.Entries();
    std::vector<std::string> items;
    for (size_t i = 0; i < entries.size(); ++i) {
        std::string fullPath;
        DWORD attributes = 0;
        if (!QueryItemStatus(entries[i], fullPath, attributes)) {
            // Missing: the check says so by its full path.
            char full[MAX_PATH];
            DWORD length = GetFullPathNameA(entries[i].c_str(), MAX_PATH, full, nullptr);
            fullPath = length > 0 && length < MAX_PATH ? std::string(full, length) : entries[i];
            attributes = 0;
        }
        bool system = (attributes & FILE_ATTRIBUTE_SYSTEM) != 0;
        if (CheckFolderForSchedule(context_, fullPath, system) == ScheduleCheck::Cancelled) {
            folders.Clear();
            return true;
        }
        items.push_back(TaskItem(entries[i], i == 0));
    }
    if (!FitOneTask(items))
        return false;
    std::string name = CreateShredTask();
    if (!name.empty()) {
        // Read after the checks, which may have settled and stored the subfolder policies.
        int removePolicy = Settings::ReadNumber("Remove", 0);
        int folderPolicy = Settings::ReadNumber("Folder", 0);
        int passCount = Settings::ReadNumber("PassCount", 3);
        int method = Settings::ReadNumber("Method", 0);
        CompleteTask(FoldersTaskLine(name, method, passCount, folderPolicy, removePolicy, Joined(items)));
    }
    folders.Clear();
    return true;
}

void TaskSchedule::ScheduleDrive(const std::string& driveLabel)
{
    if (!HaveScheduler())
        return;
    std::string root = OfferedDriveRoot(context_, driveLabel);
    if (root.empty())
        return;  // not a drive the window offers
    std::string name = CreateShredTask();
    if (name.empty())
        return;
    int passCount = Settings::ReadNumber("PassCount", 3);
    int method = Settings::ReadNumber("Method", 0);
    CompleteTask(DriveTaskLine(name, method, passCount, root));
}

void TaskSchedule::ScheduleRecycleBin()
{
    if (!HaveScheduler())
        return;
    std::string name = CreateShredTask();
    if (name.empty())
        return;
    int passCount = Settings::ReadNumber("PassCount", 3);
    int method = Settings::ReadNumber("Method", 0);
    CompleteTask(RecycleBinTaskLine(name, method, passCount));
}

// ---------------------------------------------------------------------------------------------
// The task list.

void TaskSchedule::ReloadTaskList(TaskList& tasks)
{
    if (!HaveScheduler())
        return;  // the list stays as it was
    tasks.Clear();
    long count = 0;
    ComponentResult result = RefreshedCount(count);
    if (!result.Ok()) {
        ReportError(result);
        return;
    }
    // A task that cannot be read is not known to be the program's: it is left out, and the
    // first such failure is shown once the others are listed.
    ComponentResult unread;
    for (long i = 1; i <= count && i <= MaxTaskIndex; ++i) {
        std::string creator, name;
        result = schedule_.Job(i, task_);
        if (result.Ok())
            result = task_.Creator(creator);
        if (result.Ok() && creator == TaskCreatorMark)
            result = task_.Name(name);
        if (!result.Ok()) {
            if (unread.Ok())
                unread = result;
            continue;
        }
        if (creator == TaskCreatorMark)
            tasks.Append(name, static_cast<short>(i));
    }
    task_ = ScheduledJob();
    if (!unread.Ok())
        ReportError(unread);
}

TaskSchedule::Listed TaskSchedule::CheckListed(const TaskList& tasks, size_t position, ScheduledJob& job)
{
    ComponentResult result = schedule_.Refresh();
    if (!result.Ok()) {
        ReportError(result);
        return Listed::Failed;
    }
    std::string name, creator;
    long index = tasks.TaskIndexAt(position);
    if (!schedule_.Job(index, job).Ok() || !job.Name(name).Ok() || !job.Creator(creator).Ok())
        return Listed::Changed;  // no task there any more, or none that can be read
    return name == tasks.Names()[position] && creator == TaskCreatorMark ? Listed::Same : Listed::Changed;
}

TaskListChange TaskSchedule::Changed(TaskList& tasks)
{
    ReloadTaskList(tasks);
    AskInPerson(context_, WarningStyle::Notice, MessageText::ExpandLineBreaks(context_.LookupText(9274)));
    return TaskListChange::Reloaded;
}

TaskListChange TaskSchedule::DeleteAllTasks(TaskList& tasks)
{
    if (!HaveScheduler())
        return TaskListChange::None;
    if (tasks.Count() == 0) {
        AskInPerson(context_, WarningStyle::Notice, "There isn't any item in the list box.");
        return TaskListChange::None;
    }
    if (AskInPerson(context_, WarningStyle::Confirm, context_.LookupText(9029), context_.LookupText(9064),
                    DialogSize::Normal) != Answer::Positive)
        return TaskListChange::None;
    // From the highest index down: a deletion moves only the tasks after it. Each task is
    // checked right before it goes, so that no other task is deleted in its place.
    bool deletedSome = false;
    for (size_t position = tasks.Count(); position-- > 0;) {
        ScheduledJob job;
        Listed listed = CheckListed(tasks, position, job);
        if (listed == Listed::Changed)
            return Changed(tasks);
        ComponentResult result;
        if (listed == Listed::Same) {
            result = schedule_.Delete(tasks.TaskIndexAt(position));
            if (!result.Ok())
                ReportError(result);
        }
        if (listed == Listed::Failed || !result.Ok()) {
            if (!deletedSome)
                return TaskListChange::None;
            ReloadTaskList(tasks);
            return TaskListChange::Reloaded;
        }
        deletedSome = true;
    }
    tasks.Clear();
    return TaskListChange::Emptied;
}

TaskListChange TaskSchedule::DeleteTask(TaskList& tasks, size_t position)
{
    if (!HaveScheduler() || position >= tasks.Count())
        return TaskListChange::None;
    ScheduledJob job;
    Listed listed = CheckListed(tasks, position, job);
    if (listed == Listed::Failed)
        return TaskListChange::None;
    if (listed == Listed::Changed)
        return Changed(tasks);
    ComponentResult result = schedule_.Delete(tasks.TaskIndexAt(position));
    if (!result.Ok())
        ReportError(result);
    ReloadTaskList(tasks);
    return TaskListChange::Reloaded;
}

TaskListChange TaskSchedule::RunTask(TaskList& tasks, size_t position)
{
    return ActOnListed(tasks, position, &ScheduledJob::Run);
}

TaskListChange TaskSchedule::ShowTaskProperties(TaskList& tasks, size_t position)
{
    return ActOnListed(tasks, position, &ScheduledJob::ShowProperties);
}

TaskListChange TaskSchedule::ActOnListed(TaskList& tasks, size_t position, ComponentResult (ScheduledJob::*action)() const)
{
    if (!HaveScheduler() || position >= tasks.Count())
        return TaskListChange::None;
    Listed listed = CheckListed(tasks, position, task_);
    if (listed == Listed::Changed)
        return Changed(tasks);
    if (listed == Listed::Same) {
        ComponentResult result = (task_.*action)();
        if (!result.Ok())
            ReportError(result);
    }
    return TaskListChange::None;
}
