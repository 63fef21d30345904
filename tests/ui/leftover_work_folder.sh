#!/usr/bin/env bash
# Work folders that a wipe ended from outside left on two drives, met at the start of the main
# window: each is reported once with the offer to remove it. On one drive it holds only the
# wipe's files and goes; on the other it also holds someone's file, which stays with the folder,
# and the program says that the removal is incomplete. A silent job started with such a folder
# on a drive logs it, touches nothing, and still logs "Success".
set -u
. "$NW_SOURCE_DIR/tests/support/wine-test.sh"

key='HKCU\Software\Vantor Shredder\Shred'
work=$(make_temp_folder leftover)
install=$work/install
mkdir "$install"
cp -r "$NW_DIST_DIR/Nullwright.exe" "$NW_DIST_DIR/Skin" "$NW_DIST_DIR/Lang" "$install/"
install_components "$install"
wine_reg_delete_key "$key"

english() {
  local text
  text=$(grep "^$1=" "$install/Lang/English.ini" | cut -d= -f2- | tr -d '\r' | tr '#' '|')
  printf '%s' "${text/\%s/"${2-}"}"
}

drives=()
map_drive() {
  mkdir -p "$work/drive-$1"
  ln -sfn "$work/drive-$1" "$WINEPREFIX/dosdevices/$1:"
  drives+=("$1")
}
unmap_drives() { local letter; for letter in "${drives[@]}"; do rm -f "$WINEPREFIX/dosdevices/$letter:"; done; }
trap unmap_drives EXIT

map_drive q
map_drive r
# A running wineserver keeps the drive list it started with: wait for it to end (never kill it).
/usr/lib/wine/wineserver -w
only=$work/drive-q/SHREDTMP.\$\$\$
mixed=$work/drive-r/SHREDTMP.\$\$\$
mkdir -p "$only/XYZ" "$mixed"
head -c 100000 /dev/zero > "$only/SHRED000.TMP"
head -c 100000 /dev/zero > "$only/SHRED001.TMP"
printf 'record' > "$only/XYZ/ABC"
head -c 100000 /dev/zero > "$mixed/SHRED000.TMP"
echo "someone's notes" > "$mixed/notes.txt"

# --- a silent job: logged, nothing touched
echo "secret" > "$work/a.txt"
rm -f "$install/log.txt"
$WINE "$NW_BUILD_DIR/tests/launch.exe" "$(winpath "$install/Nullwright.exe")" "\"/s\" \"Leftovers\" \"/O0\" \"/T1\" \"$(winpath "$work/a.txt")\""
expect_equal "silent job: exit status" 0 "$?"
expect_equal "silent job: its file is shredded" "" "$(ls "$work/a.txt" 2>/dev/null)"
log_expected="Task Name: Leftovers
$(english 9300 'Q:\SHREDTMP.$$$' | tr '|' '\n')

$(english 9300 'R:\SHREDTMP.$$$' | tr '|' '\n')

Success"
expect_equal "silent job: the log" "$log_expected" "$(tr -d '\r' < "$install/log.txt" | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}')"
expect_equal "silent job: the folders are untouched" "SHRED000.TMP SHRED001.TMP XYZ | SHRED000.TMP notes.txt" \
  "$(LC_ALL=C ls "$only" | tr '\n' ' ')| $(LC_ALL=C ls "$mixed" | tr '\n' ' ' | sed 's/ $//')"

# --- the main window's start: two offers, both taken
steps=(
  "dialog=Vantor Shredder" click=Yes
  "dialog=Vantor Shredder" click=Yes
  "dialog=Vantor Shredder" click=OK
  main close
)
$WINE "$NW_BUILD_DIR/tests/drive_window.exe" "${steps[@]}" > "$work/seen.txt" 2>/dev/null &
driver=$!
$WINE "$NW_BUILD_DIR/tests/launch.exe" "$(winpath "$install/Nullwright.exe")"
status=$?
wait "$driver"
expect_equal "the driver got through every step" 0 "$?"
expect_equal "exit status" 0 "$status"
expected="dialog: $(english 9300 'Q:\SHREDTMP.$$$')
dialog: $(english 9300 'R:\SHREDTMP.$$$')
dialog: $(english 9301 'R:\SHREDTMP.$$$')"
expect_equal "what the user saw" "$expected" "$(tr -d '\r' < "$work/seen.txt")"
expect_equal "the folder of the wipe's files only is gone" "" "$(ls -d "$only" 2>/dev/null)"
expect_equal "the other keeps someone's file, and only that" "notes.txt" "$(ls -A "$mixed" 2>&1)"
expect_equal "someone's file is whole" "someone's notes" "$(cat "$mixed/notes.txt")"

# --- the next start: the folder that stays is reported again, once; declined, it stays
steps=("dialog=Vantor Shredder" click=No main close)
$WINE "$NW_BUILD_DIR/tests/drive_window.exe" "${steps[@]}" > "$work/seen.txt" 2>/dev/null &
driver=$!
$WINE "$NW_BUILD_DIR/tests/launch.exe" "$(winpath "$install/Nullwright.exe")"
wait "$driver"
expect_equal "declined: the driver got through every step" 0 "$?"
expect_equal "declined: what the user saw" "dialog: $(english 9300 'R:\SHREDTMP.$$$')" "$(tr -d '\r' < "$work/seen.txt")"
expect_equal "declined: the folder stays" "notes.txt" "$(ls -A "$mixed" 2>&1)"

wine_reg_delete_key "$key"
finish
