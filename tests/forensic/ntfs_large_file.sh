# A large file full of a marker lives in clusters. Deleted the ordinary way, then a scheduled
# quick wipe of the drive's free space: the raw image must hold no copy of the marker in either
# encoding, and the drive must hold what it held before.
source "$NW_SOURCE_DIR/tests/support/wine-test.sh"
source "$NW_SOURCE_DIR/tests/forensic/lib.sh"
forensic_require_ntfs

name="large file"
forensic_install
forensic_ntfs large 96
mark=$(forensic_marker)
echo "kept" > "$FX_MOUNT/kept.txt"
forensic_write_marker "$FX_MOUNT/deleted.bin" $((24 * 1024 * 1024)) "$mark"
before=$(forensic_count "$FX_IMAGE" "$mark")
forensic_figures "$name, written" "$FX_IMAGE" "$mark"
if [ "$before" -gt 0 ]; then pass; else fail "$name: the marker did not reach the image"; fi
rm "$FX_MOUNT/deleted.bin"
sync
free_before=$(stat -f -c %f "$FX_MOUNT")

forensic_map_ntfs_drive n
forensic_wipe_job "$name" "Large" n kept.txt
expect_equal "$name: the file beside the wipe" "kept" "$(cat "$FX_MOUNT/kept.txt")"
expect_equal "$name: free clusters afterwards" "$free_before" "$(stat -f -c %f "$FX_MOUNT")"
forensic_unmount "$FX_MOUNT"
forensic_figures "$name, after the wipe" "$FX_IMAGE" "$mark"
expect_no_marker "$name" "$FX_IMAGE" "$mark"

finish
