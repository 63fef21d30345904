#!/usr/bin/env bash
# The scheduled road, as a user goes it: Nullwright.exe of a fresh installation (its components
# registered as the installer leaves them) started without arguments and driven from another
# process by tests/drive_window.exe; two files added through Wine's open-file dialog; Schedule;
# a task name typed into the task-name dialog; in the scheduler's schedule dialog a single run at
# the next minute boundary at least 45 seconds ahead, OK; the scheduled tasks area lists the
# task; the window closed. Then Wine's task scheduler service starts Nullwright.exe at that time
# with the task's command line, and the program destroys both files in silent mode and logs it.
# Takes up to three minutes.
set -u
. "$NW_SOURCE_DIR/tests/support/wine-test.sh"

key='HKCU\Software\Vantor Shredder\Shred'
name="Scheduled road $$"
task_file=$WINEPREFIX/drive_c/windows/tasks/$name.job
work=$(make_temp_folder scheduled-road)
install=$work/install
mkdir "$install"
cp -r "$NW_DIST_DIR/Nullwright.exe" "$NW_DIST_DIR/Skin" "$NW_DIST_DIR/Lang" "$NW_DIST_DIR/HLP" "$install/"
install_components "$install"
wine_reg_delete_key "$key"
trap 'rm -f "$task_file"; wine_reg_delete_key "$key"; cleanup_temp_folders' EXIT

data=$work/data
mkdir "$data"
echo "first secret" > "$data/a.txt"
echo "second secret" > "$data/b c.txt"
d=$(winpath "$data")

steps=(
  main "click=Add files..." "open-file=$d|a.txt|b c.txt" list
  click=Schedule... "dialog=Vantor Shredder" "type=$name" click=OK
  "dialog=Schedule Task" schedule-in=45 click=OK
  idle list "click=Scheduled tasks" "list-with=$name"
  close
)
$WINE "$NW_BUILD_DIR/tests/drive_window.exe" "${steps[@]}" > "$work/seen.txt" 2>/dev/null &
driver=$!
# On Windows the task scheduler service always runs; Wine starts it on demand only, and a service
# started after a task was saved does not take that task up. It is started while the driver holds
# the session, before the task is made.
$WINE net start Schedule >/dev/null 2>&1
$WINE "$NW_BUILD_DIR/tests/launch.exe" "$(winpath "$install/Nullwright.exe")"
status=$?
wait "$driver"
driven=$?
seen=$(tr -d '\r' < "$work/seen.txt")
echo "$seen"

expect_equal "the driver got through every step" 0 "$driven"
expect_equal "exit status of the interactive start" 0 "$status"
due=$(echo "$seen" | sed -n 's/^schedule: //p')
expected="list: $d\\a.txt
list: $d\\b c.txt
$(echo "$seen" | grep '^dialog: ' | head -n 2)
schedule: $due
list: (empty)
list: $name"
expect_equal "what the user saw" "$expected" "$seen"
expect_equal "the task saved in the scheduler's folder" yes "$([ -f "$task_file" ] && echo yes || echo no)"
expect_equal "the files untouched until then" "first secret" "$(cat "$data/a.txt" 2>&1)"

# The scheduled run writes its task line into the log as it starts. The waiter keeps the Wine
# session, and with it the service, alive until then; the run itself keeps it alive to its end.
log=$install/log.txt
$WINE "$NW_BUILD_DIR/tests/wait_for_file.exe" "$(winpath "$log")" 200
expect_equal "Nullwright.exe started by the task scheduler (due $due)" 0 $?
for _ in $(seq 600); do grep -q Success "$log" 2>/dev/null && break; sleep 0.1; done
/usr/lib/wine/wineserver -w

gone() { if [ ! -e "$2" ]; then pass; else fail "$1: $2 is still there"; fi; }
gone "the first file destroyed by the scheduled run" "$data/a.txt"
gone "the second file destroyed by the scheduled run" "$data/b c.txt"
expect_equal "nothing else in the data folder" "" "$(ls -A "$data")"
expect_bytes "the log of the scheduled run" "$log" "Task Name: $name\r\nSuccess\r\n\r\n"
finish
