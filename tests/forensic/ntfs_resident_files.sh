# Files of a few hundred bytes live inside their MFT record on NTFS, not in clusters. Forty of
# them, full of a marker, are deleted the ordinary way; then a scheduled quick wipe of the
# drive's free space runs, and the raw image must hold no copy of the marker in either encoding.
source "$NW_SOURCE_DIR/tests/support/wine-test.sh"
source "$NW_SOURCE_DIR/tests/forensic/lib.sh"
forensic_require_ntfs

name="resident files"
forensic_install
forensic_ntfs resident 64
mark=$(forensic_marker)
echo "kept" > "$FX_MOUNT/kept.txt"
mkdir "$FX_MOUNT/notes"
for ((i = 1; i <= 40; i++)); do forensic_write_marker "$FX_MOUNT/notes/note$i.txt" 300 "$mark"; done
before=$(forensic_count "$FX_IMAGE" "$mark")
forensic_figures "$name, written" "$FX_IMAGE" "$mark"
if [ "$before" -gt 0 ]; then pass; else fail "$name: the marker did not reach the image"; fi
rm "$FX_MOUNT"/notes/note*.txt
sync

forensic_map_ntfs_drive n
forensic_wipe_job "$name" "Resident" n "kept.txt notes"
expect_equal "$name: the file beside the wipe" "kept" "$(cat "$FX_MOUNT/kept.txt")"
forensic_unmount "$FX_MOUNT"
forensic_figures "$name, after the wipe" "$FX_IMAGE" "$mark"
expect_no_marker "$name" "$FX_IMAGE" "$mark"

finish
