#!/usr/bin/env bash
# Silent jobs in a folder whose entries cannot change (an immutable folder on a tmpfs): Wine's
# delete and folder removal report success there and the entry stays. Nullwright.exe must see
# that the entry is still there, say so in the log, and not end the run in "Success".
set -u
. "$NW_SOURCE_DIR/tests/support/wine-test.sh"

[ "$(id -u)" -eq 0 ] || { echo "SKIPPED: an immutable folder needs root"; exit 77; }
mount_point=$(make_temp_folder undeleted)
mount -t tmpfs -o size=4m tmpfs "$mount_point" 2>/dev/null || { echo "SKIPPED: no tmpfs can be mounted here"; exit 77; }
locked=$mount_point/locked
finish_up() { chattr -R -i "$mount_point" 2>/dev/null; umount "$mount_point"; cleanup_temp_folders; }
trap finish_up EXIT
mkdir "$locked"
chattr +i "$locked" 2>/dev/null || { echo "SKIPPED: this file system cannot make a folder immutable"; exit 77; }
chattr -i "$locked"

. "$NW_SOURCE_DIR/tests/jobs/job-lib.sh"
work=$(make_temp_folder undeleted-install)
job_install "$work/install"

# The text of a folder that could not be removed: keys 9043 and 9044, the runtime's "Permission
# denied" (EACCES, 13) as the reason.
not_removed() {
  local folder reason
  folder=$(english 9043 "$1"; printf x)  # its line break at the end stays
  reason=$(grep "^9044=" "$install/Lang/English.ini" | cut -d= -f2- | tr -d '\r')
  reason=${reason/\%s/Permission denied}
  printf '%s%s' "${folder%x}" "${reason/\%u/13}"
}

# --- a file: overwritten and cut, but its entry stays
echo "secret in a locked folder" > "$locked/a.txt"
chattr +i "$locked"
rm -f "$log"
run_nullwright "\"/s\" \"Locked file\" \"/O1\" \"/T1\" \"$(winpath "$locked/a.txt")\""
chattr -i "$locked"
expect_equal "file: exit status" 0 "$status"
expect_equal "file: the entry that stayed" "a.txt" "$(ls -A "$locked")"
expect_equal "file: its data is overwritten and cut" 0 "$(stat -c %s "$locked/a.txt")"
expect_file "file: log" "$log" "Task Name: Locked file"$'\r\n'"$(english 9038 "$(winpath "$locked/a.txt")")"$'\r\n\r\n'
rm -rf "${locked:?}"/*

# --- a folder item: its file goes, the folder itself stays in its locked parent
mkdir "$locked/item"
echo "inside" > "$locked/item/b.txt"
chattr +i "$locked"
rm -f "$log"
run_nullwright "\"/s\" \"Locked folder\" \"/O0\" \"/T1\" \"$(winpath "$locked/item")\""
chattr -i "$locked"
expect_equal "folder item: exit status" 0 "$status"
expect_equal "folder item: the folder is there, empty" "item:" "$(ls -A "$locked" | tr '\n' ':')$(ls -A "$locked/item")"
expect_file "folder item: log" "$log" "Task Name: Locked folder"$'\r\n'"$(not_removed "$(winpath "$locked/item")")"$'\r\n\r\n'
rm -rf "${locked:?}"/*

# --- a subfolder the walk removes ("/R2") inside a locked top folder
mkdir -p "$locked/sub"
echo "below" > "$locked/sub/c.txt"
chattr +i "$locked"
rm -f "$log"
run_nullwright "\"/s\" \"Locked subfolder\" \"/O0\" \"/T1\" \"/F2\" \"/R2\" \"$(winpath "$locked")\""
chattr -i "$locked"
expect_equal "subfolder: the subfolder is there, empty" "sub:" "$(ls -A "$locked" | tr '\n' ':')$(ls -A "$locked/sub")"
expect_file "subfolder: log" "$log" "Task Name: Locked subfolder"$'\r\n'"$(not_removed "$(winpath "$locked/sub")")"$'\r\n\r\n'

wine_reg_delete_key "$key"
finish
