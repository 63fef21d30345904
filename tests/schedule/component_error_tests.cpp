// Errors raised by the component reach the user with the component's own words, and a task that
// could not be completed after it was made is deleted again. The real Schedule object stands
// behind a pass-through that makes chosen members fail as the component fails them (an
// exception with a description), on the Schedule object and on every Job it hands out.
#include "lang/MessageText.h"
#include "tests/schedule/ScheduleFixture.h"

#include <doctest/doctest.h>

#include <map>

using namespace scheduletest;

namespace {

class FailingDispatch : public IDispatch {
public:
    // Members named in `failing` fail with E_ACCESSDENIED and this description.
    using Failures = std::map<std::wstring, std::wstring>;

    static ComPtr<IDispatch> Wrap(ComPtr<IDispatch> inner, std::shared_ptr<Failures> failing)
    {
        return ComPtr<IDispatch>::Adopt(new FailingDispatch(std::move(inner), std::move(failing)));
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            AddRef();
            *object = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override { return inner_->GetTypeInfoCount(count); }
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override
    {
        return inner_->GetTypeInfo(index, locale, info);
    }
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override
    {
        HRESULT hr = inner_->GetIDsOfNames(iid, names, count, locale, ids);
        if (SUCCEEDED(hr) && count == 1)
            names_[ids[0]] = names[0];
        return hr;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                        EXCEPINFO* exception, UINT* badArgument) override
    {
        auto named = names_.find(id);
        if (named != names_.end()) {
            auto failure = failing_->find(named->second);
            if (failure != failing_->end()) {
                if (exception) {
                    *exception = EXCEPINFO();
                    exception->scode = E_ACCESSDENIED;
                    exception->bstrDescription = SysAllocString(failure->second.c_str());
                }
                return DISP_E_EXCEPTION;
            }
        }
        HRESULT hr = inner_->Invoke(id, iid, locale, flags, parameters, result, exception, badArgument);
        // The Jobs it hands out fail the same way.
        if (SUCCEEDED(hr) && result && V_VT(result) == VT_DISPATCH && V_DISPATCH(result)) {
            ComPtr<IDispatch> job = Wrap(ComPtr<IDispatch>::Adopt(V_DISPATCH(result)), failing_);
            V_DISPATCH(result) = job.Detach();
        }
        return hr;
    }

private:
    FailingDispatch(ComPtr<IDispatch> inner, std::shared_ptr<Failures> failing)
        : inner_(std::move(inner)), failing_(std::move(failing))
    {
    }
    virtual ~FailingDispatch() = default;

    ULONG references_ = 1;
    ComPtr<IDispatch> inner_;
    std::shared_ptr<Failures> failing_;
    std::map<DISPID, std::wstring> names_;
};

struct FailingFixture : ScheduleFixture {
    std::shared_ptr<FailingDispatch::Failures> failing = std::make_shared<FailingDispatch::Failures>();
    ComPtr<IDispatch> proxy;
    std::unique_ptr<TaskSchedule> failingSchedule;

    FailingFixture()
    {
        proxy = FailingDispatch::Wrap(ComPtr<IDispatch>::Share(scheduler.Get()), failing);
        failingSchedule.reset(new TaskSchedule(context, proxy.Get()));
    }
    ~FailingFixture()
    {
        failingSchedule.reset();
        proxy.Reset();
    }
    // Key 9276 with the description and its code, as the warning dialog shows it.
    std::string ErrorText(const std::string& description) const
    {
        return MessageText::WithPath(Text(9276), description + " (0x80070005)");
    }
};

}  // namespace

TEST_CASE("a task whose saving fails is deleted again, and the user reads the component's words")
{
    FailingFixture fixture;
    (*fixture.failing)[L"Save"] = L"The task file could not be written";
    CHECK(fixture.Drive([&] { fixture.failingSchedule->ScheduleRecycleBin(); }, {NameTask("TmTest Half made")}));
    CHECK(SystemTaskNames().empty());
    REQUIRE(fixture.channel.questions.size() == 1);
    CHECK(fixture.channel.questions[0].style == WarningStyle::Error);
    CHECK(fixture.channel.questions[0].text == fixture.ErrorText("The task file could not be written") + "\n" +
                                                   MessageText::WithPath(fixture.Text(9277), "TmTest Half made"));
}

TEST_CASE("a task whose command line or program cannot be set is deleted again; the list is emptied all the same")
{
    for (const wchar_t* member : {L"CommandLine", L"ApplicationName", L"Creator"}) {
        CAPTURE(test::Narrow(member));
        FailingFixture fixture;
        (*fixture.failing)[member] = L"Refused by the component";
        test::TempFolder folder("schedfail");
        ItemList files;
        test::WriteFileBytes(folder / "a.txt", "a");
        files.Append(folder / "a.txt");
        bool emptied = false;
        CHECK(fixture.Drive([&] { emptied = fixture.failingSchedule->ScheduleFiles(files); },
                            {NameTask("TmTest Incomplete")}));
        CHECK(emptied);
        CHECK(SystemTaskNames().empty());
        REQUIRE(fixture.channel.questions.size() == 1);
        CHECK(fixture.channel.questions[0].text == fixture.ErrorText("Refused by the component") + "\n" +
                                                       MessageText::WithPath(fixture.Text(9277), "TmTest Incomplete"));
    }
}

TEST_CASE("a half-made task that cannot be deleted either is named, for the user to delete")
{
    FailingFixture fixture;
    (*fixture.failing)[L"Save"] = L"No saving";
    (*fixture.failing)[L"Delete"] = L"No deleting";
    CHECK(fixture.Drive([&] { fixture.failingSchedule->ScheduleRecycleBin(); }, {NameTask("TmTest Stuck")}));
    // Made, with its creator mark and program, but without its command line.
    CHECK(SystemTaskNames() == std::vector<std::string>{"TmTest Stuck"});
    CHECK(StoredCommandLine("TmTest Stuck").empty());
    REQUIRE(fixture.channel.questions.size() == 1);
    CHECK(fixture.channel.questions[0].text ==
          fixture.ErrorText("No saving") + "\n" + MessageText::WithPath(fixture.Text(9278), "TmTest Stuck"));
}

TEST_CASE("errors of creating, listing, running, opening and deleting tasks are shown, never passed over")
{
    FailingFixture fixture;
    MakeSystemTask("TmTest Listed", "Vantor-Shredder");
    TaskList tasks;
    fixture.failingSchedule->ReloadTaskList(tasks);
    REQUIRE(tasks.Count() == 1);
    REQUIRE(fixture.channel.questions.empty());

    (*fixture.failing)[L"Run"] = L"Cannot run";
    (*fixture.failing)[L"ShowProperties"] = L"Cannot show";
    (*fixture.failing)[L"Delete"] = L"Cannot delete";
    (*fixture.failing)[L"CreateTask"] = L"Cannot create";
    CHECK(fixture.failingSchedule->RunTask(tasks, 0) == TaskListChange::None);
    CHECK(fixture.failingSchedule->ShowTaskProperties(tasks, 0) == TaskListChange::None);
    CHECK(fixture.failingSchedule->DeleteTask(tasks, 0) == TaskListChange::Reloaded);
    CHECK(tasks.Count() == 1);  // still there, and listed
    CHECK(fixture.Drive([&] { fixture.failingSchedule->ScheduleRecycleBin(); }, {NameTask("TmTest New")}));
    (*fixture.failing)[L"Refresh"] = L"Cannot read the tasks";
    fixture.failingSchedule->ReloadTaskList(tasks);
    CHECK(tasks.Count() == 0);
    CHECK(fixture.QuestionTexts() == std::vector<std::string>{
                                         fixture.ErrorText("Cannot run"), fixture.ErrorText("Cannot show"),
                                         fixture.ErrorText("Cannot delete"), fixture.ErrorText("Cannot create"),
                                         fixture.ErrorText("Cannot read the tasks")});
    CHECK(SystemTaskNames() == std::vector<std::string>{"TmTest Listed"});
}

TEST_CASE("a scheduler that cannot be read keeps the task-name dialog open; the name is not taken for free")
{
    FailingFixture fixture;
    (*fixture.failing)[L"Refresh"] = L"Cannot read the tasks";
    std::vector<std::string> unused;
    bool stayed = false;
    CHECK(fixture.Drive([&] { fixture.failingSchedule->ScheduleRecycleBin(); },
                        {NameTask("TmTest Unknown"), [&](HWND dialog) {
                             stayed = GetDlgItem(dialog, 1060) != nullptr && IsWindowVisible(dialog);
                             CancelTaskName()(dialog);
                         }}));
    CHECK(stayed);
    CHECK(fixture.QuestionTexts() == std::vector<std::string>{fixture.ErrorText("Cannot read the tasks")});
    CHECK(SystemTaskNames().empty());
}
