#!/usr/bin/env bash
# Start-up reads the platform: the version flag is set on NT 5.1 and on 9x 4.90 only, and the
# 9x line never reads a user identifier. Wine reports another version per program.
set -u
. "$NW_SOURCE_DIR/tests/support/wine-test.sh"

key='HKCU\Software\Wine\AppDefaults\core_tests.exe'
trap 'wine_reg_delete_key "$key"; cleanup_temp_folders' EXIT

for case in "winxp 1 1" "win2k 0 1" "win7 0 1" "winme 1 0" "win98 0 0"; do
  set -- $case
  wine_reg_set "$key" Version REG_SZ "$1"
  output=$(NW_EXPECT_VERSION_FLAG=$2 NW_EXPECT_NT=$3 $WINE "$NW_BUILD_DIR/tests/core_tests.exe" \
           --no-intro --no-skip -tc="the version flag*" 2>&1)
  if echo "$output" | grep -q 'test cases: 1 | 1 passed'; then pass; else fail "Windows version $1: $output"; fi
done
finish
