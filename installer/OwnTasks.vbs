' Counts or deletes the scheduled tasks that Vantor Shredder made: those whose Creator is
' "Vantor-Shredder". Tasks of other programs are never changed. The uninstaller carries this
' script and runs it with cscript before it unregisters the task scheduler component:
'   cscript //nologo OwnTasks.vbs count    prints count=N
'   cscript //nologo OwnTasks.vbs delete   prints deleted=N, and left=N when some could not be deleted
' cscript can end a failing script with exit code 0, so the caller reads the printed line: when it
' is missing, the script failed.
Option Explicit

Const mark = "Vantor-Shredder"

' True when the task at a position carries the mark; a task whose creator cannot be read is not
' known to be ours and is left alone.
Function IsOwn(schedule, position)
    Dim creator
    Err.Clear
    creator = schedule.Job(position).Creator
    IsOwn = (Err.Number = 0 And creator = mark)
    Err.Clear
End Function

Dim mode
If WScript.Arguments.Count <> 1 Then
    WScript.Echo "usage: OwnTasks.vbs count|delete"
    WScript.Quit 2
End If
mode = WScript.Arguments(0)
If mode <> "count" And mode <> "delete" Then
    WScript.Echo "usage: OwnTasks.vbs count|delete"
    WScript.Quit 2
End If

On Error Resume Next
Dim schedule
Set schedule = CreateObject("TaskScheduler.Schedule")
If Err.Number <> 0 Then
    WScript.Echo "error: the task scheduler component cannot be created (" & Hex(Err.Number) & " " & Err.Description & ")"
    WScript.Quit 1
End If
schedule.Refresh
Dim total
total = schedule.Count
If Err.Number <> 0 Then
    WScript.Echo "error: the scheduled tasks cannot be read (" & Hex(Err.Number) & " " & Err.Description & ")"
    WScript.Quit 1
End If

Dim position, found, deleted, left
found = 0
deleted = 0
left = 0
' From the last to the first: deleting a task moves only the tasks after it.
For position = total To 1 Step -1
    If IsOwn(schedule, position) Then
        found = found + 1
        If mode = "delete" Then
            schedule.Delete position
            If Err.Number = 0 Then
                deleted = deleted + 1
            Else
                left = left + 1
                Err.Clear
            End If
            schedule.Refresh
        End If
    End If
Next

If mode = "count" Then
    WScript.Echo "count=" & found
    WScript.Quit 0
End If
WScript.Echo "deleted=" & deleted
If left > 0 Then
    WScript.Echo "left=" & left
    WScript.Quit 1
End If
WScript.Quit 0
