#!/usr/bin/env bash
# Nullwright.exe starts and ends cleanly under Wine with exact command lines, and a silent run
# that met nothing logs its task line and "Success".
set -u
. "$NW_SOURCE_DIR/tests/support/wine-test.sh"

work=$(make_temp_folder start)
wine_reg_set 'HKCU\Software\Vantor Shredder\Shred' AppPath REG_SZ "$(winpath "$work")"
cp -r "$NW_DIST_DIR/Lang" "$work/"

run_nullwright '"/s" "Weekly" "/O1" "/T3"'
expect_equal "exit status" 0 "$status"
expect_bytes "log after a silent start" "$work/log.txt" 'Task Name: Weekly\r\nSuccess\r\n\r\n'

run_nullwright '/s'
expect_bytes "log after a silent start without a task name" "$work/log.txt" 'Task Name: Weekly\r\nSuccess\r\n\r\nSuccess\r\n\r\n'

finish
