#!/usr/bin/env bash
# Nullwright.exe starts and ends cleanly under Wine with exact command lines, and a silent run
# that met nothing logs its task line and "Success". Without items a start shows the main
# window, which tests/drive_window.exe closes.
set -u
. "$NW_SOURCE_DIR/tests/support/wine-test.sh"

work=$(make_temp_folder start)
wine_reg_set 'HKCU\Software\Vantor Shredder\Shred' AppPath REG_SZ "$(winpath "$work")"
cp -r "$NW_DIST_DIR/Lang" "$NW_DIST_DIR/Skin" "$work/"
install_components "$work"

# Closes the main window the next start shows.
close_main_window() { $WINE "$NW_BUILD_DIR/tests/drive_window.exe" main close >/dev/null 2>&1 & }

close_main_window
run_nullwright '"/s" "Weekly" "/O1" "/T3"'
wait
expect_equal "exit status" 0 "$status"
expect_bytes "log after a silent start" "$work/log.txt" 'Task Name: Weekly\r\nSuccess\r\n\r\n'

close_main_window
run_nullwright '/s'
wait
expect_bytes "log after a silent start without a task name" "$work/log.txt" 'Task Name: Weekly\r\nSuccess\r\n\r\nSuccess\r\n\r\n'

finish
