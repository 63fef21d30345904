# The wiper on a small tmpfs drive: it fills the drive until it is full, gives every byte back
# and leaves the files beside it alone. A file whose overwrite fails for lack of space (a sparse
# file on a full drive) is reported and left in place, never deleted as if it were destroyed.
source "$NW_SOURCE_DIR/tests/support/wine-test.sh"
source "$NW_SOURCE_DIR/tests/forensic/lib.sh"
forensic_require_mount

used_kib() { df --output=used -k "$1" | tail -1 | tr -d ' '; }

for method in 0 1; do
  name="wipe method $method"
  forensic_tmpfs "full-$method" 12m
  head -c 100000 /dev/urandom > "$FX_MOUNT/kept.bin"
  sum=$(md5sum < "$FX_MOUNT/kept.bin")
  used=$(used_kib "$FX_MOUNT")
  forensic_map_drive n "$FX_MOUNT"
  shred_tool wipe 'N:\' "$method" 1
  expect_equal "$name: exit status" 0 "$status"
  expect_equal "$name: questions" 1 "$(grep -c '^ask' <<<"$output")"
  expect_equal "$name: no write error reported" 0 "$(grep -c '^ask 4' <<<"$output")"
  expect_equal "$name: what is left on the drive" "kept.bin" "$(ls -A "$FX_MOUNT")"
  expect_equal "$name: the file beside the wipe" "$sum" "$(md5sum < "$FX_MOUNT/kept.bin")"
  expect_equal "$name: space given back (KiB used)" "$used" "$(used_kib "$FX_MOUNT")"
done

# Two files planned (more than 1 GiB free), but room for only one more inode: the second file
# cannot be created. Reported, and the first file and the folder still go.
name="no second file"
forensic_tmpfs inodes 1100m
mount -o remount,nr_inodes=3 "$FX_MOUNT" 2>/dev/null || forensic_skip "tmpfs cannot limit its inodes here"
forensic_map_drive o "$FX_MOUNT"
shred_tool wipe 'O:\' 0 1
expect_equal "$name: exit status" 0 "$status"
expect_equal "$name: reported" 1 "$(grep -c '^ask 0: A temporary file for wiping free space could not be created' <<<"$output")"
expect_equal "$name: nothing left on the drive" "" "$(ls -A "$FX_MOUNT")"
expect_equal "$name: space given back (KiB used)" 0 "$(used_kib "$FX_MOUNT")"
umount "$FX_MOUNT"

# A sparse file needs new space for every block it is overwritten with.
name="write failure"
forensic_tmpfs sparse 1m
truncate -s 4M "$FX_MOUNT/sparse.bin"
dd if=/dev/zero of="$FX_MOUNT/filler" bs=64k status=none 2>/dev/null
forensic_map_drive n "$FX_MOUNT"
shred_tool file 'N:\sparse.bin' 0 1
expect_equal "$name: exit status (the answer was to go on)" 0 "$status"
expect_equal "$name: reported once in the go-on-or-stop dialog" 1 "$(grep -c '^ask 5: Writing to the file' <<<"$output")"
if grep -q 'N:\\sparse.bin' <<<"$output"; then pass; else fail "$name: the report names the file: $output"; fi
if grep -qi 'disk' <<<"$output"; then pass; else fail "$name: the report holds the system's description: $output"; fi
expect_equal "$name: the file stays with its name and size" 4194304 "$(stat -c %s "$FX_MOUNT/sparse.bin" 2>/dev/null)"
expect_equal "$name: nothing else appeared" "filler sparse.bin" "$(ls -A "$FX_MOUNT" | sort | tr '\n' ' ' | sed 's/ $//')"

# Asked to stop: the run ends, and the file still stays.
shred_tool file 'N:\sparse.bin' 1 2 --answer 2
expect_equal "$name, stop: exit status" 1 "$status"
expect_equal "$name, stop: the file stays" 4194304 "$(stat -c %s "$FX_MOUNT/sparse.bin" 2>/dev/null)"

# Silent: the message goes to the log, with the system's description after it.
forensic_folder log
log=$FX_FOLDER
shred_tool file 'N:\sparse.bin' 0 1 --silent "$(winpath "$log")"
expect_equal "$name, silent: exit status" 0 "$status"
expect_equal "$name, silent: nothing asked" "" "$output"
description=$(tail -n +4 "$log/log.txt" | head -1 | tr -d '\r')
expect_bytes "$name, silent: the log's bytes" "$log/log.txt" \
  "Writing to the file\r\nN:\\\\sparse.bin\r\nfailed, so it was not destroyed. It has been left in place.\r\n$description\r\n\r\n"
if [ -n "$description" ]; then pass; else fail "$name, silent: no system description in the log"; fi
expect_equal "$name, silent: the file stays" 4194304 "$(stat -c %s "$FX_MOUNT/sparse.bin" 2>/dev/null)"

finish
