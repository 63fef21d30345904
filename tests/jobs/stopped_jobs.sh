#!/usr/bin/env bash
# Silent jobs stopped on the way, run as the program runs them with the real progress window,
# whose Cancel tests/cancelled_job.exe presses at a given block: a file is deleted only once
# every byte of it was overwritten, otherwise it stays under its name and length with its
# attributes and the log names it; a stopped run never logs "Success". The same for a question
# answered Cancel in the real Nullwright.exe, and for a cancelled free-space wipe.
set -u
. "$NW_SOURCE_DIR/tests/support/wine-test.sh"
. "$NW_SOURCE_DIR/tests/jobs/job-lib.sh"

work=$(make_temp_folder stopped)
job_install "$work/install" skin

# Runs tests/cancelled_job.exe: Cancel at drain $1 of a job with the command line $2.
run_cancelled() {
  $WINE "$NW_BUILD_DIR/tests/launch.exe" "$(winpath "$NW_BUILD_DIR/tests/cancelled_job.exe")" "$1 $2"
  status=$?
}

# Bytes of a file in a range that are not $4 (a character, or '\0').
foreign_bytes() { tail -c +$(($2 + 1)) "$1" | head -c "$3" | tr -d "$4" | wc -c; }

data=$work/data
mkdir "$data"
# 64 whole blocks and 1,000 bytes: 65 blocks per step, the last one short.
size=$((64 * 65536 + 1000))
make_secret() { yes S | tr -d '\n' | head -c "$size" > "$data/secret.doc"; chmod 444 "$data/secret.doc"; }

# name, method, drain at which Cancel is pressed, "kept" or "gone"
stop_case() {
  local name=$1 method=$2 press=$3 outcome=$4 path
  make_secret
  path=$(winpath "$data/secret.doc")
  rm -f "$log"
  run_cancelled "$press" "\"/s\" \"$name\" \"/O$method\" \"/T3\" \"$path\""
  expect_equal "$name: exit status" 0 "$status"
  if [ "$outcome" == kept ]; then
    expect_equal "$name: the folder holds the file under its name" "secret.doc" "$(ls -A "$data")"
    expect_equal "$name: its length" "$size" "$(stat -c %s "$data/secret.doc" 2>/dev/null)"
    expect_equal "$name: read-only again" "-r--r--r--" "$(stat -c %A "$data/secret.doc" 2>/dev/null)"
    expect_equal "$name: the blocks after the stop are untouched" 0 \
      "$(foreign_bytes "$data/secret.doc" $((press * 65536)) "$size" S)"
    expect_file "$name: log" "$log" "Task Name: $name"$'\r\n'"$(english 9242 "$path")"$'\r\n\r\n'
  else
    expect_equal "$name: the folder is empty" "" "$(ls -A "$data")"
    expect_file "$name: log" "$log" "Task Name: $name"$'\r\n'"$(english 9243)"$'\r\n\r\n'
  fi
  chmod 644 "$data/secret.doc" 2>/dev/null
  rm -f "$data/secret.doc"
}

# The quick pass: the file is destroyed only when its last block was written.
stop_case "Quick at block 10" 0 10 kept
stop_case "Quick at block 64" 0 64 kept
stop_case "Quick at block 65" 0 65 gone

# Thorough: step 0 of the first pass is the line; any later step deletes.
stop_case "Thorough at block 10" 1 10 kept
stop_case "Thorough at block 64" 1 64 kept
stop_case "Thorough at block 65" 1 65 gone
stop_case "Thorough in step 1" 1 100 gone
stop_case "Thorough in pass 2" 1 250 gone

# What the overwrite left in a kept file: zeroes or the random block, up to the stop.
make_secret
rm -f "$log"
run_cancelled 10 "\"/s\" \"Quick bytes\" \"/O0\" \"/T3\" \"$(winpath "$data/secret.doc")\""
expect_equal "quick stop: ten blocks of zeroes" 0 "$(foreign_bytes "$data/secret.doc" 0 $((10 * 65536)) '\0')"
chmod 644 "$data/secret.doc"; rm -f "$data/secret.doc"
make_secret
run_cancelled 10 "\"/s\" \"Thorough bytes\" \"/O1\" \"/T3\" \"$(winpath "$data/secret.doc")\""
expect_equal "thorough stop: the first block is overwritten" 1 \
  "$([ "$(foreign_bytes "$data/secret.doc" 0 65536 S)" -gt 60000 ] && echo 1 || echo 0)"
chmod 644 "$data/secret.doc"; rm -f "$data/secret.doc"

# Two files, Cancel during the second: the first is gone, the second kept and named in the log.
yes F | tr -d '\n' | head -c 1000 > "$data/first.txt"
make_secret
rm -f "$log"
run_cancelled 5 "\"/s\" \"Two files\" \"/O0\" \"/T3\" \"$(winpath "$data/first.txt")\" \"$(winpath "$data/secret.doc")\""
expect_equal "two files: what is left" "secret.doc" "$(ls -A "$data")"
expect_file "two files: log" "$log" "Task Name: Two files"$'\r\n'"$(english 9242 "$(winpath "$data/secret.doc")")"$'\r\n\r\n'
chmod 644 "$data/secret.doc"; rm -f "$data/secret.doc"

# --- an interactive job (the context menu's line) without movies, so that the windows show their
# own controls: Cancel is the progress window's own button, and the notice naming the kept file
# is read off the warning dialog.
plain=$work/plain
mkdir "$plain"
cp -r "$NW_DIST_DIR/Lang" "$plain/"
install_components "$plain"
wine_reg_set "$key" AppPath REG_SZ "$(winpath "$plain")"
wine_reg_set "$key" Method REG_DWORD 1
make_secret
chmod 644 "$data/secret.doc"  # no question about a read-only file first
path=$(winpath "$data/secret.doc")
$WINE "$NW_BUILD_DIR/tests/answer_dialogs.exe" "Vantor Shredder" ok ok > "$work/answers.txt" 2>/dev/null &
answerer=$!
run_cancelled 10 "\"$path\" \""
wait "$answerer"
expect_equal "interactive stop: exit status" 0 "$status"
expect_equal "interactive stop: the confirmation, then the notice" \
  "$(english 9052 "$path" | tr -d '\r' | tr '\n' '|')
$(english 9242 "$path" | tr -d '\r' | tr '\n' '|')" "$(tr -d '\r' < "$work/answers.txt")"
expect_equal "interactive stop: the file is kept" "$size" "$(stat -c %s "$data/secret.doc" 2>/dev/null)"
expect_equal "interactive stop: no log" "" "$(cat "$plain/log.txt" 2>/dev/null)"
chmod 644 "$data/secret.doc"; rm -f "$data/secret.doc"
wine_reg_delete_key "$key"
wine_reg_set "$key" AppPath REG_SZ "$(winpath "$plain")"

# --- a question of a silent folder job ("/F1" asks in person), answered Cancel, in the real
# Nullwright.exe: the walk stops, and the run does not end in "Success".
mkdir -p "$data/tree/sub"
echo top > "$data/tree/a.txt"
echo below > "$data/tree/sub/b.txt"
$WINE "$NW_BUILD_DIR/tests/answer_dialogs.exe" "Vantor Shredder" cancel > "$work/answers.txt" 2>/dev/null &
answerer=$!
run_nullwright "\"/s\" \"Asked\" \"/O0\" \"/T1\" \"/F1\" \"/R2\" \"$(winpath "$data/tree")\""
wait "$answerer"
expect_equal "cancelled question: exit status" 0 "$status"
expect_equal "cancelled question: the subfolder is kept" below "$(cat "$data/tree/sub/b.txt")"
expect_file "cancelled question: log" "$plain/log.txt" "Task Name: Asked"$'\r\n'"$(english 9243)"$'\r\n\r\n'
rm -rf "$data/tree"
wine_reg_set "$key" AppPath REG_SZ "$(winpath "$install")"

# --- a free-space wipe cancelled during its fill, on a small drive of its own
if job_drive x 8m; then
  echo "beside the wipe" > "$drive/kept.txt"
  rm -f "$log"
  run_cancelled 3 '"/s" "Space" "/O0" "/T1" "x:\"'
  expect_equal "cancelled wipe: exit status" 0 "$status"
  expect_equal "cancelled wipe: what is left on the drive" "kept.txt" "$(ls -A "$drive")"
  expect_file "cancelled wipe: log" "$log" "Task Name: Space"$'\r\n'"$(english 9243)"$'\r\n\r\n'
  job_drop_drive x
else
  echo "SKIPPED: cancelled wipe (no tmpfs can be mounted here)"
fi

wine_reg_delete_key "$key"
finish
