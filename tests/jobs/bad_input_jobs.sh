#!/usr/bin/env bash
# Silent jobs of Nullwright.exe given bad input around them: a progress movie with an element
# too small to draw, an AppPath that is missing, empty, of the wrong type or no folder, a task
# name with control characters, and a wipe's work folder that is a file or a link.
set -u
. "$NW_SOURCE_DIR/tests/support/wine-test.sh"
. "$NW_SOURCE_DIR/tests/jobs/job-lib.sh"

work=$(make_temp_folder badinput)
job_install "$work/install" skin

data=$work/data
mkdir "$data"

# --- progress movies that cannot be played: the window falls back to its own controls and the
# job runs. (A path-ellipsis label one unit wide made Wine's text drawing assert.)
movie_case() {
  local name=$1 line=$2
  cp "$NW_DIST_DIR/Skin/progress.swf" "$install/Skin/progress.swf"
  sed -i "s/^label 10 56 282 10 var=_root.states3.*/$line/" "$install/Skin/progress.swf"
  grep -qxF "$line" "$install/Skin/progress.swf" || fail "$name: the movie was not changed"
  echo "secret" > "$data/a.txt"
  rm -f "$log"
  run_nullwright "\"/s\" \"$name\" \"/O1\" \"/T1\" \"$(winpath "$data/a.txt")\""
  expect_equal "$name: exit status" 0 "$status"
  expect_equal "$name: the file is gone" "" "$(ls -A "$data")"
  expect_file "$name: log" "$log" "Task Name: $name"$'\r\n'$'Success\r\n\r\n'
}
movie_case "One unit wide" "label 0 0 1 10 var=_root.states3 ellipsis=path"
movie_case "Narrow path" "label 10 56 8 10 var=_root.states3 ellipsis=path"
movie_case "Zero high" "label 10 56 282 0 var=_root.states3"
movie_case "Garbage" "label 10 56 lots 10 var=_root.states3"
cp "$NW_DIST_DIR/Skin/progress.swf" "$install/Skin/progress.swf"

# --- AppPath that names no usable folder: the program's own folder is used instead, for the
# log and the language pack. A copy of the program in a folder of its own, with a pack whose
# text of key 9053 is its own, shows which pack was read.
program=$work/program
mkdir -p "$program/Lang"
cp "$NW_DIST_DIR/Nullwright.exe" "$program/"
install_components "$program"
sed 's/^9053=.*/9053=Not found by the program folder'"'"'s own pack:#%s/' "$install/Lang/English.ini" > "$program/Lang/English.ini"
root_log_before=$(stat -c '%s %Y' /log.txt 2>/dev/null)
app_path_case() {
  local name=$1 missing
  missing=$(winpath "$data/missing.txt")
  rm -f "$program/log.txt" "$log"
  $WINE "$NW_BUILD_DIR/tests/launch.exe" "$(winpath "$program/Nullwright.exe")" "\"/s\" \"$name\" \"/O0\" \"/T1\" \"$missing\""
  status=$?
  expect_equal "$name: exit status" 0 "$status"
  expect_file "$name: log in the program's folder" "$program/log.txt" \
    "Task Name: $name"$'\r\n'"Not found by the program folder's own pack:"$'\r\n'"$missing"$'\r\n\r\n'
}
wine_reg_delete_key "$key"
app_path_case "AppPath missing"
wine_reg_set "$key" AppPath REG_SZ ""
app_path_case "AppPath empty"
wine_reg_set "$key" AppPath REG_DWORD 1
app_path_case "AppPath a number"
wine_reg_set "$key" AppPath REG_SZ "$(winpath "$work/gone")"
app_path_case "AppPath gone"
wine_reg_set "$key" AppPath REG_SZ "$(winpath "$data/file.txt")"
echo "not a folder" > "$data/file.txt"
app_path_case "AppPath a file"
rm "$data/file.txt"
# A folder by that name in the current folder does not count: only a full path names a place.
wine_reg_set "$key" AppPath REG_SZ 'install'
(cd "$work" && app_path_case "AppPath relative" && echo "$passed $failed" > "$work/counts")
read -r passed failed < "$work/counts"
expect_equal "nothing written at the root of the current drive" "$root_log_before" "$(stat -c '%s %Y' /log.txt 2>/dev/null)"
wine_reg_set "$key" AppPath REG_SZ "$(winpath "$install")"

# --- a task name with a line break and other control characters: one task line
echo "secret" > "$data/b.txt"
rm -f "$log"
run_nullwright "\"/s\" \"Night"$'\n'"FAKE: Success"$'\r'"x"$'\t'"y\" \"/O0\" \"/T1\" \"$(winpath "$data/b.txt")\""
expect_file "task name with control characters: log" "$log" $'Task Name: Night FAKE: Success x y\r\nSuccess\r\n\r\n'

# --- a wipe whose work folder exists but is a file, or a link to a folder elsewhere
if job_drive w 6m; then
  echo "someone's file" > "$drive/SHREDTMP.\$\$\$"
  rm -f "$log"
  run_nullwright '"/s" "Work file" "/O0" "/T1" "w:\"'
  expect_equal "work folder a file: exit status" 0 "$status"
  expect_equal "work folder a file: the file is kept" "someone's file" "$(cat "$drive/SHREDTMP.\$\$\$")"
  expect_equal "work folder a file: nothing else on the drive" "SHREDTMP.\$\$\$" "$(ls -A "$drive")"
  expect_file "work folder a file: log" "$log" "Task Name: Work file"$'\r\n'"$(english 9245 'W:\SHREDTMP.$$$')"$'\r\n\r\n'
  rm "$drive/SHREDTMP.\$\$\$"

  elsewhere=$work/elsewhere
  mkdir "$elsewhere"
  echo "kept elsewhere" > "$elsewhere/note.txt"
  ln -s "$elsewhere" "$drive/SHREDTMP.\$\$\$"
  rm -f "$log"
  run_nullwright '"/s" "Work link" "/O0" "/T1" "w:\"'
  expect_equal "work folder a link: exit status" 0 "$status"
  expect_equal "work folder a link: the link is kept" "$elsewhere" "$(readlink "$drive/SHREDTMP.\$\$\$")"
  expect_equal "work folder a link: its target is untouched" "note.txt" "$(ls -A "$elsewhere")"
  expect_file "work folder a link: log" "$log" "Task Name: Work link"$'\r\n'"$(english 9245 'W:\SHREDTMP.$$$')"$'\r\n\r\n'

  # The work folder an interrupted wipe left: its fill files and the small files of its record
  # tree go before the fill; a link in it (under a name such a file could have) and someone's
  # file stay, and so does the folder that holds them.
  rm "$drive/SHREDTMP.\$\$\$"
  left=$drive/SHREDTMP.\$\$\$
  mkdir -p "$left/XYZ/KLM"
  head -c 2000000 /dev/zero > "$left/SHRED000.TMP"
  head -c 1000000 /dev/zero > "$left/SHRED001.TMP"
  printf 'record' > "$left/XYZ/ABC"
  printf 'record' > "$left/XYZ/KLM/DEF"
  echo "someone's notes" > "$left/notes.txt"
  printf 'theirs' > "$elsewhere/DEF"
  printf 'theirs' > "$elsewhere/SHRED000.TMP"
  ln -s "$elsewhere" "$left/GHI"
  free_before=$(stat -f -c %f "$drive")
  rm -f "$log"
  run_nullwright '"/s" "Work leftovers" "/O0" "/T1" "w:\"'
  expect_equal "leftovers: exit status" 0 "$status"
  expect_equal "leftovers: what stays in the work folder" "GHI notes.txt" "$(ls -A "$left" | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')"
  expect_equal "leftovers: the link's target is untouched" "DEF SHRED000.TMP note.txt" "$(ls -A "$elsewhere" | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')"
  expect_equal "leftovers: someone's file" "someone's notes" "$(cat "$left/notes.txt")"
  expect_equal "leftovers: the space of the old fill and record files is free again" "$((free_before + (2000000 + 4095) / 4096 + (1000000 + 4095) / 4096 + 2))" \
    "$(stat -f -c %f "$drive")"
  job_drop_drive w
else
  echo "SKIPPED: work folder checks (no tmpfs can be mounted here)"
fi

wine_reg_delete_key "$key"
finish
