' A client of Taskmere that nobody here wrote the host of: Wine's cscript, calling every member by
' name. Wine's cscript reports no script errors, so every step checks Err itself and the last line
' says the script got to its end.
Option Explicit

Dim failures
failures = 0

Sub Expect(what, actual, expected)
    If actual <> expected Then
        WScript.Echo "FAILED: " & what & ": expected [" & expected & "], got [" & actual & "]"
        failures = failures + 1
    End If
End Sub

Sub ExpectNoError(what)
    If Err.Number <> 0 Then
        WScript.Echo "FAILED: " & what & ": error " & Hex(Err.Number) & " " & Err.Description
        failures = failures + 1
        Err.Clear
    End If
End Sub

' The 1-based position of the task called name after a Refresh, 0 when there is none.
Function PositionOf(schedule, name)
    Dim i
    PositionOf = 0
    For i = 1 To schedule.Count
        If schedule.Job(i).Name = name Then
            PositionOf = i
        End If
    Next
End Function

On Error Resume Next

Const taskName = "TmTest VBScript"
Const application = "C:\windows\notepad.exe"
Const commandLine = """/s"" ""Night run"" ""/O1"" ""/T3"" ""C:\a b.txt"""

Dim schedule
Set schedule = CreateObject("TaskScheduler.Schedule")
ExpectNoError "CreateObject"
If Not IsObject(schedule) Then
    WScript.Echo "FAILED: no Schedule object"
    WScript.Quit 2
End If

' A task left by an earlier, interrupted run goes first.
schedule.Refresh
If PositionOf(schedule, taskName) > 0 Then
    schedule.Delete PositionOf(schedule, taskName)
End If
ExpectNoError "removing a leftover task"

Dim job
Set job = schedule.CreateTask(taskName)
ExpectNoError "CreateTask"
Expect "Name of a new task", job.Name, taskName
job.ApplicationName = application
job.CommandLine = commandLine
job.Creator = "Vantor-Shredder"
ExpectNoError "setting the job's properties"

Dim trigger
Set trigger = job.Triggers.Add
ExpectNoError "Triggers.Add"
Expect "Flags of a new trigger", trigger.Flags, 0
trigger.TriggerType = 1 ' ttDaily
trigger.DaysInterval = 2
trigger.StartTime = TimeSerial(21, 15, 0)
ExpectNoError "setting up a daily trigger"
job.Save
ExpectNoError "Save"

schedule.Refresh
ExpectNoError "Refresh"
Dim found, item, walked
Set found = Nothing
walked = 0
For Each item In schedule
    walked = walked + 1
    If item.Name = taskName Then
        Set found = item
    End If
Next
ExpectNoError "For Each over the schedule"
Expect "tasks walked by For Each", walked, schedule.Count
If found Is Nothing Then
    WScript.Echo "FAILED: the task is not found by its name after Refresh"
    WScript.Quit 3
End If
Expect "ApplicationName", found.ApplicationName, application
Expect "CommandLine", found.CommandLine, commandLine
Expect "Creator", found.Creator, "Vantor-Shredder"
Expect "FileName", LCase(Right(found.FileName, Len(taskName) + 5)), LCase("\" & taskName & ".job")

Dim walkedTriggers
walkedTriggers = 0
For Each trigger In found.Triggers
    walkedTriggers = walkedTriggers + 1
    Expect "TriggerType", trigger.TriggerType, 1
    Expect "DaysInterval", trigger.DaysInterval, 2
    Expect "start hour", Hour(trigger.StartTime), 21
    Expect "start minute", Minute(trigger.StartTime), 15
Next
ExpectNoError "For Each over the triggers"
Expect "triggers walked by For Each", walkedTriggers, 1

' A daily trigger has no weekly interval.
Dim unused
Set trigger = found.Triggers(1)
ExpectNoError "Triggers(1)"
unused = trigger.WeeksInterval
Expect "Err.Number of a property of another trigger type", Err.Number, &H80040001
Expect "Err.Description of a property of another trigger type", Err.Description, "Invalid trigger type"
Err.Clear
trigger.WeeksInterval = 3
Expect "Err.Number when setting it", Err.Number, &H80040001
Err.Clear

' Positions outside the collection.
Set item = schedule.Job(schedule.Count + 1)
Expect "Err.Number of a position past the end", Err.Number, 9
Expect "Err.Description of a position past the end", Err.Description, "Subscript out of range"
Err.Clear

Dim position
position = PositionOf(schedule, taskName)
schedule.Delete position
ExpectNoError "Delete"
schedule.Refresh
Expect "position after Delete", PositionOf(schedule, taskName), 0

WScript.Echo "client finished, " & failures & " failed"
If failures > 0 Then
    WScript.Quit 1
End If
WScript.Quit 0
