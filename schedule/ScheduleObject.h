// The task scheduler component driven as any automation client drives it: the Schedule object
// that start-up created from the ProgID "TaskScheduler.Schedule", and the Job objects it hands
// out, called late-bound (each member looked up by name with GetIDsOfNames, then Invoke). Texts
// go between the program's code page and the component's strings here. Every call says how it
// ended, with the component's own description of a failure, so that no error goes unseen.
#pragma once

#include "common/ScopedWin.h"

#include <oaidl.h>

#include <string>

// How one call ended: S_OK, or the component's error and its words for it.
struct ComponentResult {
    HRESULT error = S_OK;
    std::string description;  // empty when the component gave none

    bool Ok() const { return SUCCEEDED(error); }
    // The description, or the system's text for the error when there is none, and the code:
    // "The system cannot find the file specified. (0x80070002)".
    std::string Text() const;
};

// One task of the scheduler: a Job of the component.
class ScheduledJob {
public:
    ScheduledJob() = default;
    explicit ScheduledJob(ComPtr<IDispatch> job) : job_(std::move(job)) {}

    explicit operator bool() const { return static_cast<bool>(job_); }
    IDispatch* Get() const { return job_.Get(); }

    ComponentResult Name(std::string& name) const;
    ComponentResult Creator(std::string& creator) const;
    ComponentResult CommandLine(std::string& line) const;
    ComponentResult SetCreator(const std::string& creator) const;
    ComponentResult SetApplicationName(const std::string& path) const;
    ComponentResult SetCommandLine(const std::string& line) const;
    // Writes the task to its own file.
    ComponentResult Save() const;
    // The scheduler's property sheet of the task, or where there is none, the component's own
    // schedule dialog; returns when it is closed.
    ComponentResult ShowProperties() const;
    ComponentResult Run() const;

private:
    ComPtr<IDispatch> job_;
};

// The Schedule object: the scheduler's tasks as a collection with 1-based indexes, as of its last
// Refresh (CreateTask appends, Delete removes).
class ScheduleObject {
public:
    // `schedule` stays the caller's; it may be null.
    explicit ScheduleObject(IDispatch* schedule) : schedule_(schedule) {}

    explicit operator bool() const { return schedule_ != nullptr; }

    ComponentResult Refresh() const;
    ComponentResult Count(long& count) const;
    ComponentResult Job(long index, ScheduledJob& job) const;
    ComponentResult CreateTask(const std::string& name, ScheduledJob& job) const;
    ComponentResult Delete(long index) const;

private:
    IDispatch* schedule_;
};
