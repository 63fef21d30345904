# Shreds files full of a marker on a small ext4 image and scans the raw image afterwards: not
# one copy of the marker may remain, whatever the method and size.
source "$NW_SOURCE_DIR/tests/support/wine-test.sh"
source "$NW_SOURCE_DIR/tests/forensic/lib.sh"
forensic_require_mount

# name, method, pass count, file size
shred_case() {
  local name=$1 method=$2 passes=$3 size=$4 mark before
  forensic_ext4 "file-$name" 32
  mark=$(forensic_marker)
  mkdir "$FX_MOUNT/docs"
  forensic_write_marker "$FX_MOUNT/docs/secret.report.doc" "$size" "$mark"
  before=$(forensic_count "$FX_IMAGE" "$mark")
  if [ "$before" -gt 0 ]; then pass; else fail "$name: the marker did not reach the image"; fi

  forensic_map_drive m "$FX_MOUNT"
  shred_tool file 'M:\docs\secret.report.doc' "$method" "$passes"
  expect_equal "$name: exit status" 0 "$status"
  expect_equal "$name: nothing asked or reported" "" "$output"
  expect_equal "$name: files left in the folder" "" "$(ls -A "$FX_MOUNT/docs")"
  forensic_unmount "$FX_MOUNT"
  expect_no_marker "$name" "$FX_IMAGE" "$mark"
}

# A file past 2 GiB: 2 GiB of hole, then the marker. Every offset beyond 32 bits must be written.
large_case() {
  local name="past 2 GiB" mark before
  forensic_ext4 file-large 3072
  mark=$(forensic_marker)
  truncate -s 2G "$FX_MOUNT/large.bin"
  yes "$mark" | tr -d '\n' | head -c 1000000 >> "$FX_MOUNT/large.bin"
  sync
  before=$(forensic_count "$FX_IMAGE" "$mark")
  if [ "$before" -gt 0 ]; then pass; else fail "$name: the marker did not reach the image"; fi
  forensic_map_drive m "$FX_MOUNT"
  shred_tool file 'M:\large.bin' 0 1
  expect_equal "$name: exit status" 0 "$status"
  expect_equal "$name: nothing asked or reported" "" "$output"
  expect_equal "$name: files left" "lost+found" "$(ls -A "$FX_MOUNT")"
  forensic_unmount "$FX_MOUNT"
  expect_no_marker "$name" "$FX_IMAGE" "$mark"
}

shred_case quick 0 3 1000003
shred_case quick-small 0 3 100
shred_case thorough 1 2 300000
shred_case thorough-one-block 1 2 65536
large_case

finish
