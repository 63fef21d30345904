#!/usr/bin/env bash
# The task fires on time: Wine's task scheduler service starts a saved task's program when its
# "once" trigger is due. Takes up to three minutes.
source "$NW_SOURCE_DIR/tests/support/wine-test.sh"

$WINE regsvr32 /s "$(winpath "$NW_DIST_DIR/Taskmere.dll")"
expect_equal "regsvr32 exit code" 0 $?

script=$(winpath "$NW_SOURCE_DIR/tests/taskmere/fires_on_time.vbs")
folder=$(make_temp_folder fires)
delete_task() { $WINE cscript //nologo "$script" delete >/dev/null 2>&1; }
trap 'delete_task; cleanup_temp_folders' EXIT

output=$($WINE cscript //nologo "$script" create "$(winpath "$NW_BUILD_DIR/tests/echo_command_line.exe")" \
  "$(winpath "$folder")" 2>/dev/null | tr -d '\r')
echo "$output"
expect_equal "task saved" "created: At" "$(echo "$output" | tail -n 1 | cut -c1-11)"

# The waiter keeps the Wine session, and with it the service, alive until the program ran.
$WINE "$NW_BUILD_DIR/tests/wait_for_file.exe" "$(winpath "$folder/command line.txt")" 200
expect_equal "program started by the task scheduler" 0 $?
expect_bytes "command line the program was started with" "$folder/command line.txt" '"/s" "Fires on time" "/O0"'
finish
