#!/usr/bin/env bash
# The handler as the file manager creates it: regsvr32 registers the built Shelvane.dll, then
# the test program creates the handler by its class through COM and drives it.
source "$NW_SOURCE_DIR/tests/support/wine-test.sh"

$WINE regsvr32 /s "$(winpath "$NW_DIST_DIR/Shelvane.dll")"
expect_equal "regsvr32 of the built DLL" 0 $?
$WINE "$NW_BUILD_DIR/tests/shelvane_handler_tests.exe" --no-intro --duration=false
expect_equal "handler tests" 0 $?
finish
