#!/usr/bin/env bash
# Registers Taskmere in the build's Wine prefix and runs VBScript clients through Wine's cscript.
source "$NW_SOURCE_DIR/tests/support/wine-test.sh"

$WINE regsvr32 /s "$(winpath "$NW_DIST_DIR/Taskmere.dll")"
expect_equal "regsvr32 exit code" 0 $?

work=$(make_temp_folder vbscript)

# script, its last line when it got to its end
run_client() {
  local output status
  $WINE cscript //nologo "$(winpath "$NW_SOURCE_DIR/tests/taskmere/$1")" > "$work/output.txt" 2>/dev/null
  status=$?
  output=$(tr -d '\r' < "$work/output.txt")
  echo "$output"
  expect_equal "$1: cscript exit code" 0 "$status"
  # cscript ends silently with 0 on a script error, so the last line must be there.
  expect_equal "$1: last line" "$2" "$(echo "$output" | tail -n 1)"
}
run_client client.vbs "client finished, 0 failed"
run_client task_names.vbs "names finished, 0 failed"
finish
