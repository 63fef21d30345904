' fires_on_time.vbs create PROGRAM FOLDER: saves a task that starts PROGRAM in FOLDER once, at
' the second minute boundary from now. fires_on_time.vbs delete: removes that task.
Option Explicit
On Error Resume Next

Const taskName = "TmTest Fires On Time"
Const parameters = """/s"" ""Fires on time"" ""/O0"""

Sub Fail(what)
    WScript.Echo "FAILED: " & what & " (error " & Hex(Err.Number) & " " & Err.Description & ")"
    WScript.Quit 1
End Sub

Function PositionOf(schedule, name)
    Dim i
    PositionOf = 0
    For i = 1 To schedule.Count
        If schedule.Job(i).Name = name Then
            PositionOf = i
        End If
    Next
End Function

Dim schedule
Set schedule = CreateObject("TaskScheduler.Schedule")
If Err.Number <> 0 Then Fail "CreateObject"
schedule.Refresh
If PositionOf(schedule, taskName) > 0 Then
    schedule.Delete PositionOf(schedule, taskName)
End If
If Err.Number <> 0 Then Fail "deleting the task"
If WScript.Arguments(0) = "delete" Then
    WScript.Echo "deleted"
    WScript.Quit 0
End If

' At least one full minute for saving and for the service to see the task.
Dim due
due = DateAdd("n", 2, Now)
Dim job, trigger
Set job = schedule.CreateTask(taskName)
job.ApplicationName = WScript.Arguments(1)
job.CommandLine = parameters
job.WorkingDirectory = WScript.Arguments(2)
Set trigger = job.Triggers.Add
trigger.TriggerType = 0 ' ttOnce
trigger.BeginDay = DateSerial(Year(due), Month(due), Day(due))
trigger.StartTime = TimeSerial(Hour(due), Minute(due), 0)
job.Save
If Err.Number <> 0 Then Fail "saving the task"
WScript.Echo "created: " & trigger.Text
