#!/usr/bin/env bash
# A scheduled folder job shreds a tree of files full of a marker on a small ext4 image through
# Nullwright.exe in silent mode; the raw image afterwards holds not one copy of the marker.
set -u
. "$NW_SOURCE_DIR/tests/support/wine-test.sh"
. "$NW_SOURCE_DIR/tests/forensic/lib.sh"
forensic_require_mount

key='HKCU\Software\Vantor Shredder\Shred'
install=$(make_temp_folder folder-forensic)
cp -r "$NW_DIST_DIR/Lang" "$install/"
install_components "$install"
wine_reg_delete_key "$key"
wine_reg_set "$key" AppPath REG_SZ "$(winpath "$install")"

# name, method, pass count
tree_case() {
  local name=$1 method=$2 passes=$3 mark before folder size i
  forensic_ext4 "tree-$name" 32
  mark=$(forensic_marker)
  # Sizes around the 64 KiB block, an empty file, and folders three deep.
  i=0
  for folder in tree tree/one tree/one/two tree/one/two/three tree/other; do
    mkdir -p "$FX_MOUNT/$folder"
    for size in 0 1 4096 65535 65536 65537 300001; do
      i=$((i + 1))
      forensic_write_marker "$FX_MOUNT/$folder/file$i.dat" "$size" "$mark"
    done
  done
  before=$(forensic_count "$FX_IMAGE" "$mark")
  if [ "$before" -gt 0 ]; then pass; else fail "$name: the marker did not reach the image"; fi

  forensic_map_drive m "$FX_MOUNT"
  rm -f "$install/log.txt"
  run_nullwright "\"/s\" \"Tree $name\" \"/O$method\" \"/T$passes\" \"/F2\" \"/R2\" \"M:\\tree\""
  expect_equal "$name: exit status" 0 "$status"
  expect_equal "$name: what is left on the drive" "lost+found" "$(ls -A "$FX_MOUNT")"
  expect_equal "$name: log" "Task Name: Tree $name|Success||" "$(tr -d '\r' < "$install/log.txt" | tr '\n' '|')"
  forensic_unmount "$FX_MOUNT"
  expect_no_marker "$name" "$FX_IMAGE" "$mark"
}

tree_case quick 0 3
tree_case thorough 1 2

wine_reg_delete_key "$key"
finish
