# Deletes a file full of a marker the ordinary way, wipes the drive's free space and scans the
# raw image: the marker must be gone, and so must the wipe's work folder and files.
source "$NW_SOURCE_DIR/tests/support/wine-test.sh"
source "$NW_SOURCE_DIR/tests/forensic/lib.sh"
forensic_require_mount

# name, method, pass count
wipe_case() {
  local name=$1 method=$2 passes=$3 mark before
  # Blocks allocated at write time: what reaches the disk is what the wiper flushes. (With
  # delayed allocation ext4 writes back by itself when it runs out of space, which would hide
  # a missing flush.) No journal: the file system's own blocks that a fill file takes from the
  # free space (extent tree leaves) are then written home by the flush; with a journal they
  # live only there until a checkpoint, and the clean-up frees them first, so what they held
  # would survive whatever the wiper wrote.
  forensic_ext4 "wipe-$name" 40 nodelalloc "-O ^has_journal"
  forensic_ext4_unreserve
  mark=$(forensic_marker)
  echo "kept" > "$FX_MOUNT/kept.txt"
  # The work folder's own block is file-system metadata: taken from the free space during the
  # wipe and freed again before the journal writes it home, so whatever it held survives. A
  # folder left from an earlier run (the wiper reuses it) keeps that block out of the scan.
  mkdir "$FX_MOUNT/SHREDTMP.\$\$\$"
  forensic_write_marker "$FX_MOUNT/deleted.bin" $((6 * 1024 * 1024)) "$mark"
  before=$(forensic_count "$FX_IMAGE" "$mark")
  if [ "$before" -gt 0 ]; then pass; else fail "$name: the marker did not reach the image"; fi
  rm "$FX_MOUNT/deleted.bin"
  sync

  forensic_map_drive m "$FX_MOUNT"
  shred_tool wipe 'M:\' "$method" "$passes"
  expect_equal "$name: exit status" 0 "$status"
  # The confirmation is the only question.
  expect_equal "$name: questions" 1 "$(grep -c '^ask' <<<"$output")"
  expect_equal "$name: what is left on the drive" "kept.txt lost+found" "$(ls -A "$FX_MOUNT" | sort | tr '\n' ' ' | sed 's/ $//')"
  expect_equal "$name: the file beside the wipe" "kept" "$(cat "$FX_MOUNT/kept.txt")"
  forensic_unmount "$FX_MOUNT"
  expect_no_marker "$name" "$FX_IMAGE" "$mark"
}

wipe_case quick 0 3
wipe_case thorough 1 1

finish
