#!/usr/bin/env bash
# A user's road through the real main window, driven from another process by
# tests/drive_window.exe as a user would: Nullwright.exe started without arguments from a fresh
# installation folder; two files (of three added, one removed again) and a folder added through
# Wine's real open-file dialog and folder browser, shredded after the confirmation; the thorough
# method with ten passes chosen in the options; Cancel in the progress window during the first
# pass over a large file, which then stays whole under its name, with a notice; the Recycle Bin
# alert with its box ticked once; the window closed. Checked: what the driver saw, the disk, the
# stored settings and the exit code.
set -u
. "$NW_SOURCE_DIR/tests/support/wine-test.sh"

key='HKCU\Software\Vantor Shredder\Shred'
work=$(make_temp_folder road)
[ -n "${NW_KEEP:-}" ] && echo "work: $work"
install=$work/install
mkdir "$install"
cp -r "$NW_DIST_DIR/Nullwright.exe" "$NW_DIST_DIR/Skin" "$NW_DIST_DIR/Lang" "$NW_DIST_DIR/HLP" "$install/"
install_components "$install"
wine_reg_delete_key "$key"
# The Recycle Bin is Wine's: the XDG trash, here an empty one of the test's own.
export XDG_DATA_HOME=$work/xdg
mkdir -p "$XDG_DATA_HOME"

data=$work/data
mkdir -p "$data/folder/sub"
echo "first secret" > "$data/a.txt"
echo "second secret" > "$data/b.txt"
echo "kept" > "$data/keep.txt"
echo "in the folder" > "$data/folder/one.txt"
echo "in the folder too" > "$data/folder/two.txt"
# Large enough that Cancel comes long before the first pass is through, however fast it writes.
truncate -s 1G "$data/big.bin"
echo "after the big one" > "$data/after.txt"

english() {
  local text
  text=$(grep "^$1=" "$install/Lang/English.ini" | cut -d= -f2- | tr -d '\r' | tr '#' '|')
  printf '%s' "${text/\%s/"${2-}"}"
}
d=$(winpath "$data")

steps=(
  main list
  "click=Add files..." "open-file=$d|a.txt|b.txt|keep.txt" list
  "select=$d\\keep.txt" click=Remove list
  click=Folders "click=Add folder..." "folder=$d\\folder" list
  click=Files "click=Shred now" dialog=Confirm click=OK idle list
  click=Folders "click=Shred now" dialog=Confirm click=OK idle list
  click=Options "click=Thorough: random data, its complement and fresh random data" choose=10
  click=Files "click=Add files..." "open-file=$d|big.bin|after.txt" list
  "click=Shred now" dialog=Confirm click=OK cancel-progress "dialog=Vantor Shredder" click=OK idle list
  "click=Recycle Bin" "click=Shred Recycle Bin" "dialog=Vantor Shredder" "click=Don't show me this again."
  click=OK "dialog=Vantor Shredder" click=OK idle
  "click=Shred Recycle Bin" "dialog=Vantor Shredder" click=OK idle
  close
)
$WINE "$NW_BUILD_DIR/tests/drive_window.exe" "${steps[@]}" > "$work/seen.txt" 2>/dev/null &
driver=$!
$WINE "$NW_BUILD_DIR/tests/launch.exe" "$(winpath "$install/Nullwright.exe")"
status=$?
wait "$driver"
driven=$?
seen=$(tr -d '\r' < "$work/seen.txt")

expect_equal "the driver got through every step" 0 "$driven"
expect_equal "exit status" 0 "$status"
expected="list: (empty)
list: $d\\a.txt
list: $d\\b.txt
list: $d\\keep.txt
list: $d\\a.txt
list: $d\\b.txt
list: $d\\folder
dialog: $(english 9032)
list: (empty)
dialog: $(english 9032)
list: (empty)
list: $d\\big.bin
list: $d\\after.txt
dialog: $(english 9032)
progress: cancelled
dialog: $(english 9242 "$d\\big.bin")
list: (empty)
dialog: $(english 9062)
dialog: $(english 9015)
dialog: $(english 9015)"
expect_equal "what the user saw" "$expected" "$seen"

gone() { if [ ! -e "$2" ]; then pass; else fail "$1: $2 is still there"; fi; }
gone "shredded from the file list" "$data/a.txt"
gone "shredded from the file list" "$data/b.txt"
expect_equal "removed from the list before the run: untouched" kept "$(cat "$data/keep.txt" 2>&1)"
gone "the folder's files are shredded and the emptied folder removed" "$data/folder/one.txt"
expect_equal "the folder's subfolder is kept (policy: never)" "sub" "$(ls -A "$data/folder" 2>&1)"
expect_equal "the file in hand when Cancel came keeps its name and length" 1073741824 "$(stat -c %s "$data/big.bin" 2>&1)"
expect_equal "the file after the cancel is untouched" "after the big one" "$(cat "$data/after.txt" 2>&1)"
expect_equal "nothing else was left in the data folder" "after.txt big.bin folder keep.txt" "$(ls "$data" | tr '\n' ' ' | sed 's/ $//')"

setting() { wine_reg_value "$key" "$1"; }
expect_equal "Method stored from the options" 0x1 "$(setting Method)"
expect_equal "PassCount stored from the options" 0xa "$(setting PassCount)"
expect_equal "BinAlertDisabled stored once its box was ticked" 0x1 "$(setting BinAlertDisabled)"
expect_equal "AppPath made from the program's folder" "$(winpath "$install")" "$(setting AppPath)"
wine_reg_delete_key "$key"
finish
