#!/usr/bin/env bash
# regsvr32 registers Shelvane.dll with the six entries that make the file manager load it for
# every file and folder (the approval value on the NT platform only) and regsvr32 /u takes every
# one of them back, under the NT and the 9x platform as Wine reports them per program.
source "$NW_SOURCE_DIR/tests/support/wine-test.sh"

dll=$(winpath "$NW_DIST_DIR/Shelvane.dll")
class='HKCR\CLSID\{8E2A4C19-7D35-4B60-A1F7-5C93E0D8B24A}'
name='Vantor Shredder Context Menu'
approved='HKLM\Software\Microsoft\Windows\CurrentVersion\Shell Extensions\Approved'
# Wine's regsvr32 under a name of its own, so that the platform this test sets for it reaches no
# other test's regsvr32.
work=$(make_temp_folder shelvane-registration)
cp "$WINEPREFIX/drive_c/windows/system32/regsvr32.exe" "$work/shelvane_regsvr32.exe" || exit 1
regsvr32=$work/shelvane_regsvr32.exe
platform_keys=('HKCU\Software\Wine\AppDefaults\shelvane_regsvr32.exe' 'HKCU\Software\Wine\AppDefaults\shelvane_registration_tests.exe')
trap 'for key in "${platform_keys[@]}"; do wine_reg_delete_key "$key"; done; cleanup_temp_folders' EXIT

# The data of a value, or "-" when it (or its key) is missing. An empty name: the default value.
value() {
  local found
  if [ -z "$2" ]; then found=$(wine_reg_query "$1" /ve); else found=$(wine_reg_query "$1" /v "$2"); fi
  [ $? -eq 0 ] || { echo -; return; }
  echo "$found" | tr -d '\r' | awk '/REG_SZ/ { sub(/.*REG_SZ */, ""); print; found = 1 } END { if (!found) print "-" }'
}

# The six entries, one a line.
entries() {
  value "$class" ""
  value "$class\\InProcServer32" ""
  value "$class\\InProcServer32" ThreadingModel
  value "HKCR\\*\\shellex\\ContextMenuHandlers\\$name" ""
  value "HKCR\\Folder\\shellex\\ContextMenuHandlers\\$name" ""
  value "$approved" '{8E2A4C19-7D35-4B60-A1F7-5C93E0D8B24A}'
}

keys_left() {
  local key left=""
  for key in "$class" "HKCR\\*\\shellex\\ContextMenuHandlers\\$name" "HKCR\\Folder\\shellex\\ContextMenuHandlers\\$name"; do
    wine_reg_query "$key" >/dev/null && left+="$key "
  done
  echo "$left"
}

nothing=$'-\n-\n-\n-\n-\n-'
for platform in "winxp 1" "win98 0"; do
  set -- $platform
  for key in "${platform_keys[@]}"; do wine_reg_set "$key" Version REG_SZ "$1"; done
  $WINE "$regsvr32" /s "$dll" >/dev/null 2>&1
  $WINE "$regsvr32" /u /s "$dll" >/dev/null 2>&1
  expect_equal "$1: no entry before registration" "$nothing" "$(entries)"

  $WINE "$regsvr32" /s "$dll"
  expect_equal "$1: regsvr32" 0 $?
  # Registering again rewrites the same values.
  $WINE "$regsvr32" /s "$dll"
  expect_equal "$1: regsvr32 again" 0 $?
  approval='-'
  [ "$2" = 1 ] && approval=$name
  expect_equal "$1: the entries" "$name"$'\n'"$dll"$'\nApartment\n{8E2A4C19-7D35-4B60-A1F7-5C93E0D8B24A}\n{8E2A4C19-7D35-4B60-A1F7-5C93E0D8B24A}\n'"$approval" "$(entries)"

  $WINE "$regsvr32" /u /s "$dll"
  expect_equal "$1: regsvr32 /u" 0 $?
  expect_equal "$1: no entry after unregistration" "$nothing" "$(entries)"
  expect_equal "$1: no key after unregistration" "" "$(keys_left)"
  $WINE "$regsvr32" /u /s "$dll"
  unregistered_again=$?
  if [ $unregistered_again -ne 0 ]; then pass; else fail "$1: regsvr32 /u of an unregistered server succeeded"; fi
  expect_equal "$1: still nothing" "$nothing" "$(entries)"

  output=$(NW_EXPECT_NT=$2 $WINE "$NW_BUILD_DIR/tests/shelvane_registration_tests.exe" --no-intro 2>&1)
  if echo "$output" | grep -q 'Status: SUCCESS'; then pass; else fail "$1: the exported functions: $output"; fi
done

# Leave the server registered, as the installation does.
for key in "${platform_keys[@]}"; do wine_reg_delete_key "$key"; done
$WINE regsvr32 /s "$dll"
expect_equal "regsvr32 at the end" 0 $?
finish
