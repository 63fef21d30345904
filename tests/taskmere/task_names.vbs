' Task names that no task file can carry, given to CreateTask by a VBScript client: each is
' refused with "Invalid argument" and a description, and leaves no task behind. The longest
' name that fits is accepted and named at once. Wine's cscript reports no script errors, so
' every step checks Err itself and the last line says the script got to its end.
Option Explicit

Dim failures
failures = 0

Sub Expect(what, actual, expected)
    If actual <> expected Then
        WScript.Echo "FAILED: " & what & ": expected [" & expected & "], got [" & actual & "]"
        failures = failures + 1
    End If
End Sub

On Error Resume Next

Const E_INVALIDARG = &H80070057

Dim schedule, files, windows, longest
Set schedule = CreateObject("TaskScheduler.Schedule")
If Err.Number <> 0 Then
    WScript.Echo "FAILED: CreateObject: " & Hex(Err.Number)
    WScript.Quit 2
End If
Set files = CreateObject("Scripting.FileSystemObject")
windows = files.GetSpecialFolder(0).Path
' The full path of the task file, Windows folder + "\Tasks\" + name + ".job", fits 259 characters.
longest = 259 - Len(windows) - Len("\Tasks\") - Len(".job")
If Err.Number <> 0 Or Len(windows) < 3 Then
    WScript.Echo "FAILED: the Windows folder: " & Hex(Err.Number) & " [" & windows & "]"
    WScript.Quit 2
End If

schedule.Refresh
Dim before
before = schedule.Count

' The 1-based position of the task called name after a Refresh, 0 when there is none.
Function PositionOf(name)
    Dim i
    PositionOf = 0
    schedule.Refresh
    For i = 1 To schedule.Count
        If schedule.Job(i).Name = name Then
            PositionOf = i
        End If
    Next
End Function

Sub ExpectRefused(what, name, description)
    Dim job
    Err.Clear
    Set job = schedule.CreateTask(name)
    Expect what & ": Err.Number", Hex(Err.Number), Hex(E_INVALIDARG)
    Expect what & ": Err.Description", Err.Description, description
    If Err.Number = 0 And PositionOf(name) > 0 Then
        schedule.Delete PositionOf(name)  ' accepted by mistake: not left behind
    End If
    Err.Clear
End Sub

ExpectRefused "empty name", "", "The task name is empty"
ExpectRefused "280 characters", String(280, "n"), "The task name is too long for the name of a task file"
ExpectRefused "one past the longest", String(longest + 1, "n"), "The task name is too long for the name of a task file"
ExpectRefused "a line break", "Night" & vbLf & "run", "The task name holds a character that a file name cannot hold"
ExpectRefused "a folder separator", "..\escape", "The task name holds a character that a file name cannot hold"

schedule.Refresh
Expect "tasks after the refused names", schedule.Count, before

' The longest name that fits: created, named from the start, and removable.
Dim name, job, position
name = "TmTest " & String(longest - 7, "x")
Err.Clear
Set job = schedule.CreateTask(name)
Expect "the longest name: Err.Number", Hex(Err.Number), "0"
Expect "the longest name: Name at once", job.Name, name
Err.Clear
position = PositionOf(name)
Expect "the longest name: found after Refresh", position > 0, True
If position > 0 Then
    schedule.Delete position
    Expect "the longest name: Delete", Hex(Err.Number), "0"
End If

WScript.Echo "names finished, " & failures & " failed"
If failures > 0 Then
    WScript.Quit 1
End If
WScript.Quit 0
