#!/usr/bin/env bash
# regsvr32 writes the class, ProgID, type library and interface keys, and regsvr32 /u removes
# exactly those: the registry afterwards is the registry before.
source "$NW_SOURCE_DIR/tests/support/wine-test.sh"

dll=$(winpath "$NW_DIST_DIR/Taskmere.dll")
work=$(make_temp_folder registration)

# Every key the registration writes names one of these in its path.
ids='TaskScheduler\.Schedule|3B7E51A0-6C2D-4F18-9A45-D0C8B2E71F36|4CA564D7-4F81-4C2C-9429-6609A57D26A5|F9B424D4-51A1-40E0-8EB1-1B9097AF9811|3A041F1F-A2AC-4453-A057-829C89692083|1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A|67A0279B-3337-4BC2-AA79-56C802EAA72F|24919A8D-2502-49CA-B37B-C348EE6E708C|9B739684-14D2-447F-865E-28E21576139A|897B5A9B-25C7-4C20-BD6A-C13EA4397A6A'

# The class registrations of both hives, as text, keeping only the sections that belong to the
# component (other programs of the prefix may change theirs meanwhile).
snapshot() {
  local out=$1 hive
  : > "$out"
  for hive in 'HKLM\Software\Classes' 'HKCU\Software\Classes'; do
    $WINE reg query "$hive" >/dev/null 2>&1 || continue  # a hive without classes of its own
    $WINE reg export "$hive" "$(winpath "$work/export.reg")" /y >/dev/null 2>&1 || { echo "reg export $hive failed" >&2; return 1; }
    iconv -f UTF-16 -t UTF-8 "$work/export.reg" | tr -d '\r' |
      awk -v ids="$ids" '/^\[/ { keep = (toupper($0) ~ toupper(ids)) } keep' >> "$out"
  done
}


$WINE regsvr32 /u /s "$dll"
expect_equal "regsvr32 /u before the test" 0 $?
snapshot "$work/before.txt" || exit 1
expect_equal "sections of an unregistered component" 0 "$(grep -c '^\[' "$work/before.txt")"

$WINE regsvr32 /s "$dll"
expect_equal "regsvr32" 0 $?
# Registering twice writes the same and nothing more.
$WINE regsvr32 /s "$dll"
expect_equal "regsvr32 again" 0 $?
snapshot "$work/registered.txt" || exit 1
# 4 classes with server, type library and version keys (and the ProgID key of Schedule), the
# ProgID with its class, 6 type library keys, 4 interfaces with 3 subkeys each. (Wine shows the
# shared TypeLib keys a second time below Wow6432Node.)
expect_equal "keys written" 41 "$(grep '^\[' "$work/registered.txt" | grep -vc Wow6432Node)"

schedule='HKCR\CLSID\{3B7E51A0-6C2D-4F18-9A45-D0C8B2E71F36}'
expect_equal "server path" "$dll" "$(wine_reg_default "$schedule\\InprocServer32")"
expect_equal "threading model" "Apartment" "$(wine_reg_value "$schedule\\InprocServer32" ThreadingModel)"
expect_equal "ProgID of the class" "TaskScheduler.Schedule" "$(wine_reg_default "$schedule\\ProgID")"
expect_equal "class of the ProgID" "{3B7E51A0-6C2D-4F18-9A45-D0C8B2E71F36}" "$(wine_reg_default 'HKCR\TaskScheduler.Schedule\CLSID')"
expect_equal "type library path" "$dll" "$(wine_reg_default 'HKCR\TypeLib\{1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A}\1.0\409\win64')"
expect_equal "type library help string" "Vantor Task Scheduler Class v1.01" "$(wine_reg_default 'HKCR\TypeLib\{1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A}\1.0')"
for iid in 67A0279B-3337-4BC2-AA79-56C802EAA72F 24919A8D-2502-49CA-B37B-C348EE6E708C 9B739684-14D2-447F-865E-28E21576139A 897B5A9B-25C7-4C20-BD6A-C13EA4397A6A; do
  expect_equal "type library of interface $iid" "{1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A}" "$(wine_reg_default "HKCR\\Interface\\{$iid}\\TypeLib")"
  expect_equal "marshaler of interface $iid" "{00020424-0000-0000-C000-000000000046}" "$(wine_reg_default "HKCR\\Interface\\{$iid}\\ProxyStubClsid32")"
done
for clsid in 4CA564D7-4F81-4C2C-9429-6609A57D26A5 F9B424D4-51A1-40E0-8EB1-1B9097AF9811 3A041F1F-A2AC-4453-A057-829C89692083; do
  expect_equal "server of class $clsid" "$dll" "$(wine_reg_default "HKCR\\CLSID\\{$clsid}\\InprocServer32")"
done

$WINE regsvr32 /u /s "$dll"
expect_equal "regsvr32 /u" 0 $?
snapshot "$work/after.txt" || exit 1
if diff -u "$work/before.txt" "$work/after.txt" > "$work/diff.txt"; then pass; else fail "left after regsvr32 /u:"; cat "$work/diff.txt" >&2; fi

# A value another program put into one of the component's keys stays, and so does its key.
$WINE regsvr32 /s "$dll"
wine_reg_set "$schedule\\Implemented Categories" "" REG_SZ "someone else's"
$WINE regsvr32 /u /s "$dll"
expect_equal "another program's value" "someone else's" "$(wine_reg_default "$schedule\\Implemented Categories")"
expect_equal "the component's own value beside it" "" "$(wine_reg_default "$schedule\\InprocServer32")"
wine_reg_delete_key "$schedule"

# Leave the component registered, as a fresh prefix's first test run would.
$WINE regsvr32 /s "$dll"
expect_equal "regsvr32 at the end" 0 $?
finish
