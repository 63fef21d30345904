#!/usr/bin/env bash
# Thorough jobs whose pass count is missing or out of range, run by Nullwright.exe on a small
# ext4 image: the raw image must hold no copy of the file's marker afterwards (every run writes
# 1 to 10 passes), and the log must say which count was used instead of the job's.
set -u
source "$NW_SOURCE_DIR/tests/support/wine-test.sh"
source "$NW_SOURCE_DIR/tests/forensic/lib.sh"
source "$NW_SOURCE_DIR/tests/jobs/job-lib.sh"
forensic_require_mount

work=$(make_temp_folder passes)
install=$work/install

# A file full of a new marker on a new image; sets $mark and $secret (its Windows path).
new_secret() {
  forensic_ext4 "passes-$1" 32
  mark=$(forensic_marker)
  forensic_write_marker "$FX_MOUNT/secret.doc" 300000 "$mark"
  if [ "$(forensic_count "$FX_IMAGE" "$mark")" -gt 0 ]; then pass; else fail "$1: the marker did not reach the image"; fi
  secret=$(winpath "$FX_MOUNT/secret.doc")
}

settings() {
  job_install "$install"
  [ -n "${1-}" ] && wine_reg_set "$key" PassCount REG_DWORD "$1"
  [ -n "${2-}" ] && wine_reg_set "$key" Method REG_DWORD "$2"
  return 0
}

# name, the switches of the job, the stored PassCount (empty: none), the log after the task line
silent_case() {
  local name=$1 switches=$2 stored=$3 expected=$4
  settings "$stored"
  new_secret "$name"
  rm -f "$log"
  run_nullwright "\"/s\" \"$name\" $switches \"$secret\""
  expect_equal "$name: exit status" 0 "$status"
  expect_equal "$name: files left" "lost+found" "$(ls -A "$FX_MOUNT")"
  expect_file "$name: log" "$log" "Task Name: $name"$'\r\n'"$expected"$'\r\n\r\n'
  forensic_unmount "$FX_MOUNT"
  expect_no_marker "$name" "$FX_IMAGE" "$mark"
}

silent_case "No passes" '"/O1" "/T0"' "" "$(english 9241 0 3)"
silent_case "Passes missing" '"/O1"' 2 "$(english 9240 "" 2)"
silent_case "Negative passes" '"/O1" "/T-4"' 4294967295 "$(english 9241 -4 3)"
silent_case "Far too many" '"/O1" "/T2147483647"' "" "$(english 9241 2147483647 10)"
silent_case "Eleven" '"/O1" "/T11"' 5 "$(english 9241 11 10)"
silent_case "Ten" '"/O1" "/T10"' "" "Success"
# A quick job writes one pass whatever its count, so its count is never a matter for the log.
silent_case "Quick" '"/O0" "/T0"' "" "Success"

# An interactive run (the context menu's command line) with PassCount stored as 0xFFFFFFFF:
# thorough with the default count.
settings 4294967295 1
new_secret interactive
rm -f "$log"
$WINE "$NW_BUILD_DIR/tests/answer_dialogs.exe" "Vantor Shredder" ok > "$work/answers.txt" 2>/dev/null &
answerer=$!
run_nullwright "\"$secret\" \""
wait "$answerer"
expect_equal "interactive: exit status" 0 "$status"
expect_equal "interactive: files left" "lost+found" "$(ls -A "$FX_MOUNT")"
expect_equal "interactive: no log" "" "$(cat "$log" 2>/dev/null)"
forensic_unmount "$FX_MOUNT"
expect_no_marker "interactive" "$FX_IMAGE" "$mark"

wine_reg_delete_key "$key"
finish
