# A scheduled folder job ("/F2" "/R2": every subfolder shredded and removed) on a tree whose
# files hold a marker and whose file and folder names carry it too. NTFS keeps names in UTF-16LE,
# in each entry's MFT record and in its parent's index. After the job no copy of the marker may be
# in anything in use (the folder that stays, the root, holds none of the names), only in the free
# space: records and index blocks the removals freed, with old names after their bytes in use.
# A quick wipe of the drive's free space then reaches those: afterwards the raw image must hold no
# copy of the marker in either encoding, neither of the contents nor of the names.
source "$NW_SOURCE_DIR/tests/support/wine-test.sh"
source "$NW_SOURCE_DIR/tests/forensic/lib.sh"
forensic_require_ntfs

name="folder names"
forensic_install
forensic_ntfs names 64
mark=$(forensic_marker)
echo "kept" > "$FX_MOUNT/kept.txt"
top="T$mark"
# Files inside their MFT record and in clusters, an empty one, and folders three deep.
i=0
for folder in "$top" "$top/A$mark" "$top/A$mark/B$mark" "$top/A$mark/B$mark/C$mark" "$top/D$mark"; do
  mkdir -p "$FX_MOUNT/$folder"
  for size in 0 300 4096 65537; do
    i=$((i + 1))
    forensic_write_marker "$FX_MOUNT/$folder/$mark-$i.dat" "$size" "$mark"
  done
done
forensic_figures "$name, written" "$FX_IMAGE" "$mark"
if [ "$(forensic_count_utf16 "$FX_IMAGE" "$mark")" -gt 0 ]; then pass; else fail "$name: the names did not reach the image"; fi
if [ "$(forensic_count "$FX_IMAGE" "$mark")" -gt 0 ]; then pass; else fail "$name: the contents did not reach the image"; fi

forensic_map_ntfs_drive n
forensic_job "Names" /O0 /T1 /F2 /R2 "N:\\$top"
expect_equal "$name: exit status" 0 "$status"
expect_success_log "$name" "Names"
expect_equal "$name: what is left on the drive" "kept.txt" "$(ls -A "$FX_MOUNT")"
forensic_unmount "$FX_MOUNT"
forensic_figures "$name, after the job" "$FX_IMAGE" "$mark"
expect_equal "$name: copies of the contents after the job" 0 "$(forensic_count "$FX_IMAGE" "$mark")"
expect_only_in_free_space "$name, after the job" "$FX_IMAGE" "$mark"

forensic_ntfs_mount
forensic_wipe_job "$name" "Names wipe" n "kept.txt"
forensic_unmount "$FX_MOUNT"
forensic_figures "$name, after the wipe" "$FX_IMAGE" "$mark"
expect_no_marker "$name" "$FX_IMAGE" "$mark"

finish
