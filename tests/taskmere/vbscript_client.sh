#!/usr/bin/env bash
# Registers Taskmere in the build's Wine prefix and runs a VBScript client through Wine's cscript.
source "$NW_SOURCE_DIR/tests/support/wine-test.sh"

$WINE regsvr32 /s "$(winpath "$NW_DIST_DIR/Taskmere.dll")"
expect_equal "regsvr32 exit code" 0 $?

output=$($WINE cscript //nologo "$(winpath "$NW_SOURCE_DIR/tests/taskmere/client.vbs")" 2>/dev/null | tr -d '\r')
status=$?
echo "$output"
expect_equal "cscript exit code" 0 "$status"
# cscript ends silently with 0 on a script error, so the last line must be there.
expect_equal "client's last line" "client finished, 0 failed" "$(echo "$output" | tail -n 1)"
finish
