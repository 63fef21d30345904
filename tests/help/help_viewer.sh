#!/usr/bin/env bash
# Wine's HTML Help viewer, started through the shell as the program's Help command starts it,
# opens VantorShred.chm under its title and shows the table of contents of help/VantorShred.hhc.
set -u
. "$NW_SOURCE_DIR/tests/support/wine-test.sh"

# The entries of the contents file, one a line, indented by one tab per level.
expected=$(awk '
  /<UL>/ { depth++ }
  /<\/UL>/ { depth-- }
  /<param name="Name"/ { sub(/.*value="/, ""); sub(/".*/, ""); line = ""; for (i = 1; i < depth; i++) line = line "\t"; print line $0 }
' "$NW_SOURCE_DIR/help/VantorShred.hhc")

shown=$($WINE "$NW_BUILD_DIR/tests/help_viewer.exe" "$(winpath "$NW_DIST_DIR/HLP/VantorShred.chm")" "Vantor Shredder Help" | tr -d '\r')
expect_equal "help_viewer exit status" 0 "${PIPESTATUS[0]}"
expect_equal "table of contents in the viewer" "$expected" "$shown"
finish
