#!/usr/bin/env bash
# Nullwright.exe runs the jobs of its command line under Wine, with the exact lines the task
# scheduler, the context menu and the Recycle Bin verb pass: the outcome on disk, the log's
# bytes, and the questions of interactive jobs (answered by tests/answer_dialogs.exe).
set -u
. "$NW_SOURCE_DIR/tests/support/wine-test.sh"
. "$NW_SOURCE_DIR/tests/jobs/job-lib.sh"

work=$(make_temp_folder jobs)
job_install "$work/install"

# Runs Nullwright.exe while answer_dialogs.exe answers its message boxes; sets $questions.
run_answered() {
  local line=$1
  shift
  $WINE "$NW_BUILD_DIR/tests/answer_dialogs.exe" "Vantor Shredder" "$@" > "$work/answers.txt" 2>/dev/null &
  local answerer=$!
  run_nullwright "$line"
  wait "$answerer"
  questions=$(tr -d '\r' < "$work/answers.txt")
}

data=$work/data
mkdir "$data"

# --- scheduled file job: two quoted paths, one with a space
echo "first secret" > "$data/a.txt"
echo "second secret" > "$data/b c.doc"
rm -f "$log"
run_nullwright "\"/s\" \"Files\" \"/O1\" \"/T2\" \"$(winpath "$data/a.txt")\" \"$(winpath "$data/b c.doc")\""
expect_equal "file job: exit status" 0 "$status"
expect_gone "file job" "$data/a.txt"
expect_gone "file job" "$data/b c.doc"
expect_file "file job: log" "$log" $'Task Name: Files\r\nSuccess\r\n\r\n'

# --- scheduled folder jobs: the job's policy, not the stored one
wine_reg_set "$key" Folder REG_DWORD 0
wine_reg_set "$key" Remove REG_DWORD 0
make_tree() {
  mkdir -p "$data/tree/sub/deep"
  echo a > "$data/tree/a.txt"; echo b > "$data/tree/sub/b.txt"; echo c > "$data/tree/sub/deep/c.txt"
}
make_tree
rm -f "$log"
run_nullwright "\"/s\" \"Folders\" \"/O0\" \"/T3\" \"/F2\" \"/R2\" \"$(winpath "$data/tree")\""
expect_equal "folder job: exit status" 0 "$status"
expect_gone "folder job, always and always" "$data/tree"
expect_file "folder job: log" "$log" $'Task Name: Folders\r\nSuccess\r\n\r\n'

make_tree
rm -f "$log"
run_nullwright "\"/s\" \"Top only\" \"/O0\" \"/T3\" \"/F0\" \"/R2\" \"$(winpath "$data/tree")\""
expect_gone "folder job, never" "$data/tree/a.txt"
expect_equal "folder job, never: subfolders untouched" "b c" "$(cat "$data/tree/sub/b.txt" "$data/tree/sub/deep/c.txt" | tr '\n' ' ' | sed 's/ $//')"
expect_file "folder job, never: log" "$log" $'Task Name: Top only\r\nSuccess\r\n\r\n'
rm -rf "$data/tree"

# --- a missing item, then a good one: the first is logged, the second shredded, no "Success"
echo "kept until shredded" > "$data/good.txt"
missing=$(winpath "$data/missing.txt")
rm -f "$log"
run_nullwright "\"/s\" \"Mixed\" \"/O0\" \"/T1\" \"$missing\" \"$(winpath "$data/good.txt")\""
expect_gone "mixed job" "$data/good.txt"
expect_file "mixed job: log" "$log" "Task Name: Mixed"$'\r\n'"$(english 9053 "$missing")"$'\r\n\r\n'

# --- a folder with a trailing backslash is not found
mkdir "$data/kept"
echo kept > "$data/kept/x.txt"
rm -f "$log"
run_nullwright "\"/s\" \"Slash\" \"/O0\" \"/T1\" \"/F2\" \"/R2\" \"$(winpath "$data/kept")\\\""
expect_equal "trailing backslash: folder untouched" kept "$(cat "$data/kept/x.txt")"
expect_file "trailing backslash: log" "$log" "Task Name: Slash"$'\r\n'"$(english 9053 "$(winpath "$data/kept")\\")"$'\r\n\r\n'

# --- scheduled free-space job on a small drive of its own
if job_drive y 6m; then
  echo "beside the wipe" > "$drive/kept.txt"
  rm -f "$log"
  run_nullwright '"/s" "Space" "/O0" "/T1" "y:\"'
  expect_equal "free-space job: exit status" 0 "$status"
  expect_equal "free-space job: what is left on the drive" "kept.txt" "$(ls -A "$drive")"
  expect_equal "free-space job: the file beside it" "beside the wipe" "$(cat "$drive/kept.txt")"
  expect_file "free-space job: log" "$log" $'Task Name: Space\r\nSuccess\r\n\r\n'
  job_drop_drive y
else
  echo "SKIPPED: free-space job (no tmpfs can be mounted here)"
fi

# --- Recycle Bin jobs against Wine's own shell: its bin is the XDG trash, one for all drives.
# Nullwright shreds the user's bin folder on C: and the shell empties the trash.
export XDG_DATA_HOME=$work/xdg
trash_item() {
  mkdir -p "$XDG_DATA_HOME/Trash/files" "$XDG_DATA_HOME/Trash/info"
  echo "trashed" > "$XDG_DATA_HOME/Trash/files/$1"
  printf '[Trash Info]\nPath=/tmp/%s\nDeletionDate=2026-01-01T00:00:00\n' "$1" > "$XDG_DATA_HOME/Trash/info/$1.trashinfo"
}
bin_root="$WINEPREFIX/drive_c/\$Recycle.Bin"
bin="$bin_root/S-1-5-21-0-0-0-1000"
make_bin() {
  mkdir -p "$bin"
  printf 'index' > "$bin/\$IAB12CD.txt"
  printf 'deleted data' > "$bin/\$RAB12CD.txt"
}

trash_item one.txt
make_bin
wine_reg_set "$key" BinAlertDisabled REG_DWORD 1
rm -f "$log"
run_nullwright '"/s" "Bin" "/O0" "/T1" "recycle"'
expect_equal "bin job: exit status" 0 "$status"
expect_equal "bin job: the \$I file is kept" index "$(cat "$bin/\$IAB12CD.txt")"
expect_equal "bin job: the \$R file is overwritten and cut" 0 "$(stat -c %s "$bin/\$RAB12CD.txt")"
expect_equal "bin job: the shell emptied its trash" "" "$(ls -A "$XDG_DATA_HOME/Trash/files")"
expect_file "bin job: log" "$log" $'Task Name: Bin\r\nSuccess\r\n\r\n'

# Nothing in the trash: the shell counts no item on any drive.
rm -f "$log"
run_nullwright '"/s" "Empty bin" "/O0" "/T1" "recycle"'
expect_file "empty bin job: log" "$log" "Task Name: Empty bin"$'\r\n'"$(english 9015)"$'\r\n\r\n'
rm -rf "$bin_root"

# --- the same job on Windows XP (as Wine reports it to Nullwright.exe alone): the old layout,
# the user's folder below Recycler on an NTFS drive, INFO2 kept and a fresh desktop.ini.
xp_key='HKCU\Software\Wine\AppDefaults\Nullwright.exe'
wine_reg_set "$xp_key" Version REG_SZ winxp
trash_item three.txt
old_bin="$WINEPREFIX/drive_c/Recycler/S-1-5-21-0-0-0-1000"
mkdir -p "$old_bin"
printf 'index' > "$old_bin/INFO2"
printf 'deleted data' > "$old_bin/Dc1.txt"
rm -f "$log"
run_nullwright '"/s" "Old bin" "/O0" "/T1" "recycle"'
expect_equal "old bin job: INFO2 is kept" index "$(cat "$old_bin/INFO2")"
expect_equal "old bin job: the deleted file is overwritten and cut" 0 "$(stat -c %s "$old_bin/Dc1.txt")"
expect_file "old bin job: desktop.ini" "$old_bin/desktop.ini" $'[.ShellClassInfo]\r\nCLSID={645FF040-5081-101B-9F08-00AA002F954E}\r\n'
expect_equal "old bin job: the shell emptied its trash" "" "$(ls -A "$XDG_DATA_HOME/Trash/files")"
expect_file "old bin job: log" "$log" $'Task Name: Old bin\r\nSuccess\r\n\r\n'
wine_reg_delete_key "$xp_key"
rm -rf "$WINEPREFIX/drive_c/Recycler"

# --- the Recycle Bin verb: "recycle" without quotes, an interactive job
trash_item two.txt
make_bin
wine_reg_set "$key" BinAlertDisabled REG_DWORD 0
rm -f "$log"
run_answered 'recycle' ok ok yes
expect_equal "bin verb: exit status" 0 "$status"
expected_questions="$(english 9052 "the Recycle Bin" | tr -d '\r' | tr '\n' '|')
$(english 9062)
$(english 9049 | tr -d '\r' | tr '\n' '|')"
expect_equal "bin verb: confirmation, alert, question" "$expected_questions" "$questions"
expect_equal "bin verb: the shell emptied its trash" "" "$(ls -A "$XDG_DATA_HOME/Trash/files")"
expect_equal "bin verb: the \$R file is cut" 0 "$(stat -c %s "$bin/\$RAB12CD.txt")"
expect_gone "bin verb: an interactive job writes no log" "$log"
rm -rf "$bin_root"

# --- the context-menu command: quoted paths and a lone final quote, an interactive job
wine_reg_set "$key" Folder REG_DWORD 2
wine_reg_set "$key" Remove REG_DWORD 2
echo "menu secret" > "$data/menu.txt"
make_tree
run_answered "\"$(winpath "$data/menu.txt")\" \"$(winpath "$data/tree")\" \"" ok
expect_equal "context menu: exit status" 0 "$status"
expect_equal "context menu: the confirmation names the count" "$(english 9051 | sed 's/%u/2/' | tr -d '\r' | tr '\n' '|')" "$questions"
expect_gone "context menu" "$data/menu.txt"
expect_gone "context menu" "$data/tree"

# Cancel at the confirmation: nothing happens.
echo "still here" > "$data/menu.txt"
run_answered "\"$(winpath "$data/menu.txt")\" \"" cancel
expect_equal "context menu, cancelled: file untouched" "still here" "$(cat "$data/menu.txt")"

wine_reg_delete_key "$key"
finish
