# Harness for tests that prove data is gone from a real file system: small file systems (a
# loop-mounted ext4 image, or tmpfs) mapped to Wine drive letters, marker files, and scans of
# the raw image. Source it after tests/support/wine-test.sh. Every mount, loop device and drive
# letter made here is undone on exit, whatever the test did.
#
#   forensic_require_mount                 skip the test (exit 77) where mounting is impossible
#   forensic_ext4 NAME SIZE_MB [MOUNT_OPTIONS [MKFS_OPTIONS]]
#                                          makes and mounts an ext4 image; sets FX_IMAGE, FX_MOUNT
#   forensic_ext4_unreserve                gives the kernel's reserved clusters of FX_MOUNT to users
#   forensic_tmpfs NAME SIZE               mounts a tmpfs (SIZE as mount takes it); sets FX_MOUNT
#   forensic_map_drive LETTER DIR          maps a Wine drive letter to DIR
#   forensic_unmount DIR                   flushes and unmounts DIR now
#   forensic_marker                        prints a marker string unique to this run
#   forensic_write_marker PATH BYTES MARK  writes a file of repeated MARK and syncs it to the disk
#   forensic_count IMAGE MARK              prints how many copies of MARK the raw IMAGE holds
#   shred_tool ARGS...                     runs tests/shred_tool.exe; sets $status and $output

FX_MOUNTS=()
FX_DRIVES=()
FX_FOLDERS=()

forensic_cleanup() {
  local drive mount
  for drive in "${FX_DRIVES[@]}"; do rm -f "$WINEPREFIX/dosdevices/$drive"; done
  for mount in "${FX_MOUNTS[@]}"; do
    mountpoint -q "$mount" && { umount "$mount" 2>/dev/null || umount -l "$mount"; }
  done
  [ ${#FX_FOLDERS[@]} -gt 0 ] && [ -z "${FX_KEEP:-}" ] && rm -rf "${FX_FOLDERS[@]}"
  cleanup_temp_folders
}
trap forensic_cleanup EXIT

forensic_skip() {
  echo "SKIPPED: $*"
  exit 77
}

forensic_require_mount() {
  [ "$(id -u)" -eq 0 ] || forensic_skip "mounting a file system needs root"
  command -v mkfs.ext4 >/dev/null || forensic_skip "mkfs.ext4 is not installed"
  local probe
  probe=$(mktemp -d /tmp/nw-fxprobe.XXXXXX)
  if ! mount -t tmpfs -o size=1m tmpfs "$probe" 2>/dev/null; then
    rmdir "$probe"
    forensic_skip "this machine does not allow mounting (no privileges in this container?)"
  fi
  umount "$probe"
  rmdir "$probe"
}

# Sets FX_FOLDER to a new folder removed at exit (not in a subshell, so the list keeps it).
forensic_folder() {
  FX_FOLDER=$(mktemp -d "/tmp/nw-fx-$1.XXXXXX")
  FX_FOLDERS+=("$FX_FOLDER")
}

forensic_ext4() {
  forensic_folder "$1"
  FX_IMAGE=$FX_FOLDER/disk.img
  FX_MOUNT=$FX_FOLDER/mnt
  mkdir "$FX_MOUNT"
  truncate -s "${2}M" "$FX_IMAGE"  # sparse: only what the file system writes takes space
  # No reserved blocks: the wipe must reach every free block. Inodes of 256 bytes, as on any
  # but the smallest file systems: Wine keeps DOS attributes in an extended attribute, and with
  # small inodes each file would take a metadata block out of the free space for the length of
  # the wipe. Full inode tables now, so no background initialisation writes after the mount.
  # shellcheck disable=SC2086  # the extra options are words
  mkfs.ext4 -q -F -m 0 -b 4096 -I 256 -E lazy_itable_init=0,lazy_journal_init=0 ${4:-} "$FX_IMAGE" ||
    forensic_skip "mkfs.ext4 failed"
  mount -o "loop${3:+,$3}" "$FX_IMAGE" "$FX_MOUNT" 2>/dev/null || forensic_skip "loop devices cannot be mounted here"
  FX_MOUNTS+=("$FX_MOUNT")
}

# ext4 keeps up to 2% of its clusters (at most 4096) out of the free space it reports, for its
# own use; no file can be written there, so a free-space wipe cannot reach it. Hand it over.
forensic_ext4_unreserve() {
  local device
  device=$(basename "$(findmnt -n -o SOURCE "$FX_MOUNT")")
  echo 0 > "/sys/fs/ext4/$device/reserved_clusters" || forensic_skip "cannot release ext4's reserved clusters"
}

forensic_tmpfs() {
  forensic_folder "$1"
  FX_MOUNT=$FX_FOLDER/mnt
  mkdir "$FX_MOUNT"
  mount -t tmpfs -o size="$2" tmpfs "$FX_MOUNT" || forensic_skip "tmpfs cannot be mounted here"
  FX_MOUNTS+=("$FX_MOUNT")
}

# Wine resolves drive letters through these links at each use; a running wineserver needs no restart.
forensic_map_drive() {
  ln -sfn "$2" "$WINEPREFIX/dosdevices/$1:"
  FX_DRIVES+=("$1:")
}

forensic_unmount() {
  sync
  umount "$1"
}

forensic_marker() {
  printf 'NW-MARK-%s-%s-%s-END' "$$" "$RANDOM" "$(date +%s%N)"
}

forensic_write_marker() {
  local path=$1 bytes=$2 mark=$3
  yes "$mark" | tr -d '\n' | head -c "$bytes" > "$path"
  # On the disk before the shredder starts, or a lost overwrite would go unnoticed.
  sync "$path"
  sync
}

forensic_count() {
  grep -a -o -F "$2" "$1" | wc -l
}

shred_tool() {
  output=$($WINE "$NW_BUILD_DIR/tests/shred_tool.exe" "$@" 2>&1)
  status=$?
}

expect_no_marker() {
  local name=$1 image=$2 mark=$3 copies
  copies=$(forensic_count "$image" "$mark")
  expect_equal "$name: copies of the marker left on the disk" 0 "$copies"
  if [ "$copies" -ne 0 ]; then
    echo "byte offsets of the first copies in $image:" >&2
    grep -a -o -b -F "$mark" "$image" | head -3 | cut -d: -f1 >&2
    FX_KEEP=1
  fi
}
