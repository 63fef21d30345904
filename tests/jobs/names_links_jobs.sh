#!/usr/bin/env bash
# Silent jobs of Nullwright.exe on real folder trees whose names and entries are not what they
# seem: names outside the legacy code page, links made from Linux (which Wine shows as a folder
# with the reparse attribute, or as a plain file), hard links, protected folders named another
# way, items with trailing dots or blanks, relative items and the program's own short name.
# Each case checks that what lies outside the selection is untouched, that the selection is
# destroyed where it can be, and the log's exact bytes.
set -u
. "$NW_SOURCE_DIR/tests/support/wine-test.sh"

. "$NW_SOURCE_DIR/tests/jobs/job-lib.sh"

work=$(make_temp_folder names)
job_install "$work/install"

# Key 9073 for a link Wine cannot remove without its target: the text ends in a line break
# (which $(...) would drop), then the system's reason.
link_stays() { printf '%s\nRequest not supported.' "$(english 9073 "$1")"; }

expect_content() {
  if [ "$(cat "$2" 2>/dev/null)" == "$3" ]; then pass; else fail "$1: $2 holds [$(cat "$2" 2>&1)], not [$3]"; fi
}

# --- names outside the legacy code page: a look-alike of "..\victim.txt", a folder that looks
# like "..\..", and names the legacy code page would give as look-alikes or question marks
base=$work/names
mkdir -p "$base/w/sel/．．＼．．"
echo "outside the job" > "$base/outside.txt"
echo "beside the selection" > "$base/w/victim.txt"
echo "look-alike" > "$base/w/sel/．．＼victim.txt"
echo "deeper look-alike" > "$base/w/sel/．．＼．．/inner.txt"
echo "polish" > "$base/w/sel/ŁódźΩ.txt"
echo "its look-alike" > "$base/w/sel/LódzO.txt"
echo "japanese" > "$base/w/sel/日本語.txt"
rm -f "$log"
run_nullwright "\"/s\" \"Names\" \"/O0\" \"/T1\" \"/F2\" \"/R2\" \"$(winpath "$base/w/sel")\""
expect_equal "names: exit status" 0 "$status"
expect_content "names: the file beside the selection" "$base/w/victim.txt" "beside the selection"
expect_content "names: the file two levels up" "$base/outside.txt" "outside the job"
expect_gone "names: the selection" "$base/w/sel"
expect_file "names: log" "$log" $'Task Name: Names\r\nSuccess\r\n\r\n'

# Items named outside the legacy code page: one shredded, one missing and logged by its name.
echo "item secret" > "$base/日本語 Größe.txt"
missing=$(winpath "$base/Łódź fehlt.txt")
rm -f "$log"
run_nullwright "\"/s\" \"Items\" \"/O0\" \"/T1\" \"$(winpath "$base/日本語 Größe.txt")\" \"$missing\""
expect_gone "item with such a name" "$base/日本語 Größe.txt"
expect_file "items with such names: log" "$log" "Task Name: Items"$'\r\n'"$(english 9053 "$missing")"$'\r\n\r\n'

# --- links made from Linux: Wine cannot remove a link without removing its target, so each
# link stays, its target is untouched and the log says so.
links=$work/links
mkdir -p "$links/sel" "$links/empty target"
echo "target of the file link" > "$links/target.txt"
ln -s ../target.txt "$links/sel/file link.txt"
ln -s "../empty target" "$links/sel/folder link"
echo "target of the hard link" > "$links/hard target.txt"
ln "$links/hard target.txt" "$links/sel/hard link.txt"
echo "plain" > "$links/sel/plain.txt"
rm -f "$log"
run_nullwright "\"/s\" \"Links\" \"/O0\" \"/T1\" \"/F2\" \"/R2\" \"$(winpath "$links/sel")\""
expect_content "file link: its target" "$links/target.txt" "target of the file link"
expect_equal "file link: the link stays" "../target.txt" "$(readlink "$links/sel/file link.txt")"
expect_equal "folder link: its empty target stays" "yes" "$([ -d "$links/empty target" ] && echo yes)"
expect_equal "folder link: the link stays" "../empty target" "$(readlink "$links/sel/folder link")"
expect_content "hard link: the data under its other name" "$links/hard target.txt" "target of the hard link"
expect_gone "hard link: this name" "$links/sel/hard link.txt"
expect_gone "links: the plain file beside them" "$links/sel/plain.txt"
# Listing order is the file system's: the entries after the task line are compared as a set,
# one line each with "|" for their line breaks.
one_line() { sed -z 's/\r\n\r\n/\x00/g; s/\r\n/|/g' | tr '\0' '\n' | sed '/^$/d' | sort; }
sel=$(winpath "$links/sel")
expected_entries=$(printf '%s\r\n\r\n' \
  "$(link_stays "$sel\\file link.txt")" \
  "$(link_stays "$sel\\folder link")" \
  "$(english 9213 "$sel\\hard link.txt")" | one_line)
expect_equal "links: log starts with the task" "Task Name: Links" "$(head -1 "$log" | tr -d '\r')"
expect_equal "links: log entries" "$expected_entries" "$(tail -n +2 "$log" | one_line)"

# A file item that is a link.
rm -f "$log"
run_nullwright "\"/s\" \"Link item\" \"/O0\" \"/T1\" \"$sel\\file link.txt\""
expect_content "file link item: its target" "$links/target.txt" "target of the file link"
expect_file "file link item: log" "$log" "Task Name: Link item"$'\r\n'"$(link_stays "$sel\\file link.txt")"$'\r\n\r\n'

# --- protected folders named another way, and an empty protected folder kept
start_menu="$WINEPREFIX/drive_c/users/root/AppData/Roaming/Microsoft/Windows/Start Menu"
echo "kept in the start menu" > "$start_menu/nw-marker.txt"
rm -f "$log"
run_nullwright "\"/s\" \"Start\" \"/O0\" \"/T1\" \"/F0\" \"/R0\" \"$(winpath "$start_menu")\""
expect_content "Start Menu by its Z: path" "$start_menu/nw-marker.txt" "kept in the start menu"
expect_file "Start Menu by its Z: path: log" "$log" "Task Name: Start"$'\r\n'"$(english 9039 'C:\users\root\AppData\Roaming\Microsoft\Windows\Start Menu')"$'\r\n\r\n'
rm -f "$start_menu/nw-marker.txt"

fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
if [ -z "$(ls -A "$fonts")" ]; then
  rm -f "$log"
  run_nullwright '"/s" "Fonts" "/O0" "/T1" "/F2" "/R2" "C:\windows\Fonts"'
  expect_equal "empty protected folder: still there" yes "$([ -d "$fonts" ] && echo yes)"
  expect_file "empty protected folder: log" "$log" "Task Name: Fonts"$'\r\n'"$(english 9039 'C:\windows\Fonts')"$'\r\n\r\n'
  mkdir -p "$fonts"
else
  echo "SKIPPED: empty protected folder (the prefix's Fonts folder holds files)"
fi

# --- items that are not what they seem
items=$work/items
mkdir -p "$items/dir"
echo "plain name" > "$items/file.txt"
echo "name with a dot" > "$items/file.txt."
echo "in the folder" > "$items/dir/x.txt"
rm -f "$log"
run_nullwright "\"/s\" \"Dots\" \"/O0\" \"/T1\" \"/F2\" \"/R2\" \"$(winpath "$items/file.txt.")\" \"$(winpath "$items/dir ")\""
expect_content "trailing dot: the file without it" "$items/file.txt" "plain name"
expect_content "trailing dot: the file with it" "$items/file.txt." "name with a dot"
expect_content "trailing blank: the folder without it" "$items/dir/x.txt" "in the folder"
expect_file "trailing dot and blank: log" "$log" "Task Name: Dots"$'\r\n'"$(english 9053 "$(winpath "$items/file.txt.")")"$'\r\n\r\n'"$(english 9053 "$(winpath "$items/dir ")")"$'\r\n\r\n'

# Relative items, taken nowhere: the working folder holds a file of that name.
echo "relative" > "$items/rel.txt"
rm -f "$log"
(cd "$items" && run_nullwright '"/s" "Relative" "/O0" "/T1" "rel.txt" ".." "C:"')
expect_content "relative item" "$items/rel.txt" "relative"
expect_file "relative items: log" "$log" "Task Name: Relative"$'\r\n'"$(english 9212 rel.txt)"$'\r\n\r\n'"$(english 9212 ..)"$'\r\n\r\n'"$(english 9212 C:)"$'\r\n\r\n'

# The program started by its short name: its own name is no item.
cp "$NW_DIST_DIR/Nullwright.exe" "$install/"
echo "shredded by the copy" > "$items/by short name.txt"
short=$($WINE "$NW_BUILD_DIR/tests/short_name.exe" "$(winpath "$install/Nullwright.exe")")
expect_equal "the program has a short name" 1 "$([ -n "$short" ] && [ "$short" != "$(winpath "$install/Nullwright.exe")" ] && echo 1)"
rm -f "$log"
$WINE "$NW_BUILD_DIR/tests/launch.exe" "$short" "\"/s\" \"Short\" \"/O0\" \"/T1\" \"$(winpath "$items/by short name.txt")\""
expect_equal "short name: the program is whole" "$(cat "$NW_DIST_DIR/Nullwright.exe" | md5sum)" "$(cat "$install/Nullwright.exe" | md5sum)"
expect_gone "short name: the item" "$items/by short name.txt"
expect_file "short name: log" "$log" $'Task Name: Short\r\nSuccess\r\n\r\n'

wine_reg_delete_key "$key"
finish
