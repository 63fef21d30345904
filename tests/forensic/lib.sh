# Harness for tests that prove data is gone from a real file system: small file systems (a
# loop-mounted ext4 image, an NTFS image mounted with ntfs-3g, or tmpfs) mapped to Wine drive
# letters, marker files, and scans of the raw image. Source it after tests/support/wine-test.sh.
# Every mount, loop device, drive letter and setting made here is undone on exit, whatever the
# test did.
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
#   expect_no_marker NAME IMAGE MARK       asserts no copy of MARK (on NTFS: in ASCII nor UTF-16LE)
#
# NTFS (images made with mkntfs and mounted through FUSE with ntfs-3g):
#   forensic_require_ntfs                  skip the test (exit 77) where that is impossible
#   forensic_ntfs NAME SIZE_MB             makes and mounts an NTFS image; sets FX_IMAGE, FX_MOUNT
#   forensic_map_ntfs_drive LETTER         maps FX_MOUNT as a drive that Windows lists as NTFS
#   forensic_volume_info LETTER            what Windows reports for the drive (volume_info.exe)
#   forensic_count_utf16 IMAGE MARK        prints how many copies of MARK in UTF-16LE IMAGE holds
#   forensic_locate IMAGE MARK             prints where on an unmounted NTFS image the copies of
#                                          MARK are (MFT records, indexes, the log file, clusters)
#   expect_only_in_free_space NAME IMAGE MARK
#                                          asserts that every copy of MARK on an unmounted NTFS
#                                          image lies in free MFT records or free clusters
#
# The real program, as a scheduled task starts it:
#   forensic_install                       an installation folder (FX_INSTALL) with the language
#                                          pack, named by the settings; its log is FX_LOG
#   forensic_job NAME ITEM...              runs Nullwright.exe with the silent job line
#                                          "/s" "NAME" "ITEM"...; sets $status
#   expect_success_log NAME TASK           asserts that the log holds the task line and "Success"
#   forensic_wipe_job NAME TASK LETTER LEFT
#                                          a silent quick wipe of drive LETTER (mapped to FX_MOUNT)
#                                          that must succeed and leave exactly LEFT (names, sorted)
#   forensic_figures NAME IMAGE MARK       prints how many copies of MARK IMAGE holds, both ways

FX_MOUNTS=()
FX_DRIVES=()
FX_FOLDERS=()
declare -A FX_DAEMONS=()

forensic_cleanup() {
  local drive mount
  for drive in "${FX_DRIVES[@]}"; do rm -f "$WINEPREFIX/dosdevices/$drive"; done
  for mount in "${FX_MOUNTS[@]}"; do
    mountpoint -q "$mount" && { umount "$mount" 2>/dev/null || umount -l "$mount"; }
    forensic_wait_daemon "$mount"
  done
  [ -n "${FX_INSTALL:-}" ] && wine_reg_delete_key "$FX_SETTINGS_KEY"
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

# A sparse image file of SIZE_MB and a mount point for it: FX_FOLDER, FX_IMAGE, FX_MOUNT. Only
# what the file system writes takes space.
forensic_image() {
  forensic_folder "$1"
  FX_IMAGE=$FX_FOLDER/disk.img
  FX_MOUNT=$FX_FOLDER/mnt
  mkdir "$FX_MOUNT"
  truncate -s "${2}M" "$FX_IMAGE"
}

forensic_ext4() {
  forensic_image "$1" "$2"
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
  forensic_wait_daemon "$1"
}

# Always 45 characters, so that names made from it have the same lengths in every run.
forensic_marker() {
  printf 'NW-MARK-%07d-%05d-%s-END' "$$" "$RANDOM" "$(date +%s%N)"
}

forensic_write_marker() {
  local path=$1 bytes=$2 mark=$3
  yes "$mark" | tr -d '\n' | head -c "$bytes" > "$path"
  # On the disk before the shredder starts, or a lost overwrite would go unnoticed.
  sync "$path"
  sync
}

# The marker holds no NUL byte, so NUL ends a "line": runs of zeroes (and the holes of a sparse
# image) cost nothing, where one line of gigabytes would have to be held whole.
forensic_count() {
  grep -a -z -o -F "$2" "$1" | tr '\0' '\n' | wc -l
}

# A pattern for grep -P that matches MARK (ASCII) in UTF-16LE, every character spelt in hex.
forensic_utf16_pattern() {
  local mark=$1 i
  for ((i = 0; i < ${#mark}; i++)); do printf '\\x%02X\\x00' "'${mark:i:1}"; done
}

forensic_count_utf16() {
  LC_ALL=C grep -a -o -P "$(forensic_utf16_pattern "$2")" "$1" | wc -l
}

shred_tool() {
  output=$($WINE "$NW_BUILD_DIR/tests/shred_tool.exe" "$@" 2>&1)
  status=$?
}

# Names are UTF-16LE on NTFS only; elsewhere they are bytes, as the marker is written.
expect_no_marker() {
  local name=$1 image=$2 mark=$3 copies wide=0
  copies=$(forensic_count "$image" "$mark")
  expect_equal "$name: copies of the marker left on the disk" 0 "$copies"
  if forensic_is_ntfs "$image"; then
    wide=$(forensic_count_utf16 "$image" "$mark")
    expect_equal "$name: copies of the marker in UTF-16LE left on the disk" 0 "$wide"
  fi
  if [ "$copies" -ne 0 ] || [ "$wide" -ne 0 ]; then
    if forensic_is_ntfs "$image"; then
      echo "where the copies are in $image:" >&2
      forensic_locate "$image" "$mark" >&2
    else
      echo "byte offsets of the first copies in $image:" >&2
      grep -a -z -o -b -F "$mark" "$image" | tr '\0' '\n' | head -3 | cut -d: -f1 >&2
    fi
    FX_KEEP=1
  fi
}

# ---------------------------------------------------------------------------------------------
# NTFS

forensic_require_ntfs() {
  [ "$(id -u)" -eq 0 ] || forensic_skip "mounting a file system needs root"
  local tool
  for tool in mkntfs ntfs-3g ntfsinfo ntfscluster; do
    command -v "$tool" >/dev/null || forensic_skip "$tool is not installed (Debian package ntfs-3g)"
  done
  [ -c /dev/fuse ] || forensic_skip "FUSE is not available here (no /dev/fuse): NTFS images cannot be mounted"
}

# Waits for the ntfs-3g process of a mount to end. umount of a FUSE mount returns before that
# process has written its last changes into the image, so a scan must wait for it.
forensic_wait_daemon() {
  local pid=${FX_DAEMONS[$1]:-} i
  [ -n "$pid" ] || return 0
  for ((i = 0; i < 300; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && kill "$pid"  # ours, and stuck for 30 s
  wait "$pid" 2>/dev/null
  unset "FX_DAEMONS[$1]"
  return 0
}

# Mounts FX_IMAGE on FX_MOUNT with ntfs-3g kept in the foreground, so that its process is known.
forensic_ntfs_mount() {
  local i
  # big_writes: FUSE hands over writes of up to 128 KiB instead of 4 KiB, twice as fast.
  ntfs-3g -o no_detach,big_writes "$FX_IMAGE" "$FX_MOUNT" > "$FX_FOLDER/ntfs-3g.log" 2>&1 &
  FX_DAEMONS[$FX_MOUNT]=$!
  FX_MOUNTS+=("$FX_MOUNT")
  for ((i = 0; i < 100; i++)); do
    mountpoint -q "$FX_MOUNT" && return 0
    kill -0 "${FX_DAEMONS[$FX_MOUNT]}" 2>/dev/null || break
    sleep 0.05
  done
  forensic_wait_daemon "$FX_MOUNT"
  forensic_skip "ntfs-3g cannot mount an image here (FUSE not usable?): $(head -1 "$FX_FOLDER/ntfs-3g.log")"
}

forensic_ntfs() {
  forensic_image "$1" "$2"
  # -f: the image is not zeroed first; -F: an image file, not a device.
  mkntfs -q -F -f -L "$1" "$FX_IMAGE" >/dev/null 2>&1 || forensic_skip "mkntfs failed"
  forensic_ntfs_mount
}

# Windows must see the drive as NTFS (the drive table's flag comes from GetVolumeInformationA)
# and list it among its drives. Wine names the file system from the mount; when it cannot, a
# device link (LETTER::) to the image lets it read the boot sector. A running wineserver keeps
# the list of drives it started with, so this waits for it to end (never kills it: other tests
# may be using it).
forensic_map_ntfs_drive() {
  local letter=$1 info
  forensic_map_drive "$letter" "$FX_MOUNT"
  "${WINESERVER:-/usr/lib/wine/wineserver}" -w
  info=$(forensic_volume_info "$letter")
  if [ "${info%% *}" != NTFS ]; then
    ln -sfn "$FX_IMAGE" "$WINEPREFIX/dosdevices/$letter::"
    FX_DRIVES+=("$letter::")
    "${WINESERVER:-/usr/lib/wine/wineserver}" -w
    info=$(forensic_volume_info "$letter")
  fi
  if [ "${info%% *}" != NTFS ] || [ "${info##* }" != 1 ]; then
    echo "FAILED: Windows does not list drive ${letter^^}: as an NTFS drive (file system, type, free bytes, listed): [$info]" >&2
    exit 1
  fi
}

forensic_volume_info() {
  $WINE "$NW_BUILD_DIR/tests/volume_info.exe" "${1^^}:\\" 2>/dev/null | tr -d '\r'
}

# Whether the bytes of IMAGE at OFFSET spell TEXT.
fx_bytes_are() {
  cmp -s -n "${#3}" -i "$2:0" "$1" <(printf '%s' "$3")
}

forensic_is_ntfs() {
  fx_bytes_are "$1" 3 NTFS
}

# Little-endian numbers of the raw image.
fx_u16() { od -An -t u2 -j "$2" -N 2 "$1" | tr -d ' '; }
fx_u32() { od -An -t u4 -j "$2" -N 4 "$1" | tr -d ' '; }

fx_attribute_name() {
  case $1 in
    16) echo '$STANDARD_INFORMATION' ;; 32) echo '$ATTRIBUTE_LIST' ;; 48) echo '$FILE_NAME' ;;
    64) echo '$OBJECT_ID' ;; 80) echo '$SECURITY_DESCRIPTOR' ;; 96) echo '$VOLUME_NAME' ;;
    112) echo '$VOLUME_INFORMATION' ;; 128) echo '$DATA' ;; 144) echo '$INDEX_ROOT' ;;
    160) echo '$INDEX_ALLOCATION' ;; 176) echo '$BITMAP' ;; 256) echo '$LOGGED_UTILITY_STREAM' ;;
    *) echo "attribute 0x$(printf %X "$1")" ;;
  esac
}

# Where in an index (its header at byte HEADER) the byte at OFFSET is: in the entries in use, or
# after them (an entry that was removed, or moved, and not wiped).
fx_index_part() {
  local image=$1 header=$2 offset=$3 used
  used=$(fx_u32 "$image" $((header + 4)))
  if [ $((offset - header)) -lt "$used" ]; then echo "an index entry in use"; else echo "after the index entries in use"; fi
}

# Describes the MFT record NUMBER that starts at byte RECORD, and the part that holds OFFSET:
# "MFT records (STATE)|NUMBER|PART".
fx_describe_record() {
  local image=$1 number=$2 record=$3 offset=$4 rsize=$5 flags used state attr type length part=""
  flags=$(fx_u16 "$image" $((record + 22)))
  used=$(fx_u32 "$image" $((record + 24)))
  state="free"
  (((flags & 1) != 0)) && state="in use"
  (((flags & 2) != 0)) && state="$state, a folder's"
  attr=$((record + $(fx_u16 "$image" $((record + 20)))))
  while [ $((attr + 8)) -le $((record + rsize)) ]; do
    type=$(fx_u32 "$image" "$attr")
    length=$(fx_u32 "$image" $((attr + 4)))
    { [ "$type" -eq 4294967295 ] || [ "$length" -eq 0 ]; } && break
    if [ "$offset" -ge "$attr" ] && [ "$offset" -lt $((attr + length)) ]; then
      part=$(fx_attribute_name "$type")
      if [ "$type" -eq 144 ]; then
        # A resident index: its value starts with 16 bytes of root, then the index header.
        part="$part, $(fx_index_part "$image" $((attr + $(fx_u16 "$image" $((attr + 20))) + 16)) "$offset")"
      fi
      break
    fi
    attr=$((attr + length))
  done
  [ -n "$part" ] || part="outside the attributes"
  [ $((offset - record)) -lt "$used" ] || part="$part, after the record's bytes in use"
  echo "MFT records ($state)|$number|$part"
}

# The runs (VCN LCN length, decimal) of the unnamed $DATA attribute of an inode.
fx_runlist() {
  local vcn lcn length
  ntfsinfo -f -v -i "$2" "$1" 2>/dev/null | awk '
    /^Dumping attribute/ { data = ($3 == "$DATA") }
    data && /Name length:/ { named = ($3 != 0) }
    data && !named && /^\t+0x[0-9a-fA-F]+\t+0x[0-9a-fA-F]+\t+0x[0-9a-fA-F]+/ { print $1, $2, $3 }' |
    while read -r vcn lcn length; do echo $((vcn)) $((lcn)) $((length)); done
}

# The name that a UTF-16LE copy at OFFSET is part of, with the marker MARK shown as "*". On NTFS
# a name (in a $FILE_NAME attribute and in an index entry alike) follows its length in
# characters and its namespace (0 to 3), one byte each; a name starts at most 4 characters
# before the marker here. Prints "UTF-16LE text" when the copy is not in such a name.
fx_name_around() {
  local image=$1 offset=$2 mark=$3 from name
  from=$((offset - 10))
  [ "$from" -ge 0 ] || from=0
  name=$(dd if="$image" bs=1 skip="$from" count=$((10 + 520)) status=none | od -An -v -t u1 |
    awk -v start=$((offset - from)) -v marklength="${#mark}" '
      { for (i = 1; i <= NF; i++) b[n++] = $i }
      END {
        for (k = 0; k <= 4; k++) {
          s = start - 2 * k
          if (s < 2) break
          count = b[s - 2]
          if (b[s - 1] > 3 || count < k + marklength || s + 2 * count > n) continue
          name = ""
          for (j = 0; j < count; j++) {
            c = b[s + 2 * j]
            if (b[s + 2 * j + 1] != 0 || c < 32 || c > 126) break
            name = name sprintf("%c", c)
          }
          if (j == count) { print name; exit }
        }
      }')
  if [ -n "$name" ]; then echo "name ${name/"$mark"/*}"; else echo "UTF-16LE text"; fi
}

# One line per copy: encoding|byte offset|what holds it|its record or cluster number|which part.
fx_locate_offsets() {
  local image=$1 encoding=$2 csize=$3 rsize=$4 isize=$5 runs=$6 mark=$7 offset cluster vcn lcn place owner
  local byte block run
  while read -r offset; do
    cluster=$((offset / csize))
    place=""
    while read -r vcn lcn run; do
      [ -n "$lcn" ] || continue
      if [ "$cluster" -ge "$lcn" ] && [ "$cluster" -lt $((lcn + run)) ]; then
        byte=$(((vcn + cluster - lcn) * csize + offset % csize))
        place=$(fx_describe_record "$image" $((byte / rsize)) $((offset - byte % rsize)) "$offset" "$rsize")
        break
      fi
    done <<<"$runs"
    if [ -z "$place" ]; then
      owner=$(ntfscluster -f -c "$cluster" "$image" 2>/dev/null | sed -n 's/^Inode \([0-9]*\) \(.*\)$/\1 \2/p' | head -1)
      block=$((offset - offset % isize))
      case $owner in
        "")
          if fx_bytes_are "$image" "$block" INDX; then
            place="free clusters that held an index block|$cluster|$(fx_index_part "$image" $((block + 24)) "$offset")"
          else
            place="free clusters|$cluster|"
          fi ;;
        "2 "*) place="clusters of the log file (\$LogFile)|$cluster|" ;;
        "1 "*) place="clusters of the MFT's mirror (\$MFTMirr)|$cluster|" ;;
        *'$INDEX_ALLOCATION'*)
          place="index blocks of the folder in MFT record ${owner%% *}|$cluster|$(fx_index_part "$image" $((block + 24)) "$offset")" ;;
        *) place="clusters of MFT record ${owner%% *} (${owner#* })|$cluster|" ;;
      esac
    fi
    if [ "$encoding" == UTF-16LE ]; then
      [ -n "${place##*|}" ] && place="$place, "
      place="$place$(fx_name_around "$image" "$offset" "$mark")"
    fi
    echo "$encoding|$offset|$place"
  done
}

forensic_locate() {
  local image=$1 mark=$2 csize rsize isize runs
  csize=$(ntfsinfo -f -m "$image" 2>/dev/null | awk '/Cluster Size:/ { print $3 }')
  rsize=$(ntfsinfo -f -m "$image" 2>/dev/null | awk '/MFT Record Size:/ { print $4 }')
  isize=$(ntfsinfo -f -m "$image" 2>/dev/null | awk '/Index Block Size:/ { print $4 }')
  runs=$(fx_runlist "$image" 0)
  {
    grep -a -z -o -b -F "$mark" "$image" | tr '\0' '\n' | cut -d: -f1 | fx_locate_offsets "$image" ASCII "$csize" "$rsize" "$isize" "$runs" "$mark"
    LC_ALL=C grep -a -o -b -P "$(forensic_utf16_pattern "$mark")" "$image" | cut -d: -f1 |
      fx_locate_offsets "$image" UTF-16LE "$csize" "$rsize" "$isize" "$runs" "$mark"
  } | sort -t'|' -k4,4n | awk -F'|' '
    # Per place: the copies, the first offset, and the record or cluster numbers as ranges.
    {
      key = $1 "|" $3 "|" $5
      if (!(key in n)) { order[++keys] = key; first[key] = $2 + 0 }
      n[key]++
      if ($2 + 0 < first[key]) first[key] = $2 + 0
      if (!(key in last)) { ranges[key] = $4; start[key] = $4 }
      else if ($4 > last[key] + 1) {
        if (last[key] != start[key]) ranges[key] = ranges[key] "-" last[key]
        ranges[key] = ranges[key] ", " $4; start[key] = $4
      }
      last[key] = $4
    }
    END {
      for (i = 1; i <= keys; i++) {
        key = order[i]; split(key, part, "|")
        if (last[key] != start[key]) ranges[key] = ranges[key] "-" last[key]
        printf "%6d %-8s in %s %s%s (first at byte %d)\n", n[key], part[1], part[2], ranges[key],
               part[3] == "" ? "" : ": " part[3], first[key]
      }
    }'
}

# What nothing in use holds any more is free space, which a wipe of the drive reaches.
expect_only_in_free_space() {
  local name=$1 image=$2 mark=$3 places elsewhere
  places=$(forensic_locate "$image" "$mark")
  elsewhere=$(grep -v -E '^ *[0-9]+ +(ASCII|UTF-16LE) +in (MFT records \(free[,)]|free clusters)' <<<"$places" | grep -v '^$')
  if [ -z "$elsewhere" ]; then
    pass
  else
    fail "$name: copies of the marker outside the free space: $elsewhere"
    FX_KEEP=1
  fi
  [ -z "$places" ] || echo "$name: the copies in the free space:"$'\n'"$places"
}

# ---------------------------------------------------------------------------------------------
# The real program

FX_SETTINGS_KEY='HKCU\Software\Vantor Shredder\Shred'

forensic_install() {
  forensic_folder install
  FX_INSTALL=$FX_FOLDER
  FX_LOG=$FX_INSTALL/log.txt
  cp -r "$NW_DIST_DIR/Lang" "$FX_INSTALL/"
  install_components "$FX_INSTALL"
  wine_reg_delete_key "$FX_SETTINGS_KEY"
  wine_reg_set "$FX_SETTINGS_KEY" AppPath REG_SZ "$(winpath "$FX_INSTALL")"
}

forensic_job() {
  local name=$1 line item
  shift
  line="\"/s\" \"$name\""
  for item in "$@"; do line="$line \"$item\""; done
  rm -f "$FX_LOG"
  run_nullwright "$line"
}

expect_success_log() {
  expect_equal "$1: log" "Task Name: $2|Success||" "$(tr -d '\r' < "$FX_LOG" 2>/dev/null | tr '\n' '|')"
}

forensic_wipe_job() {
  local name=$1 task=$2 letter=$3 left=$4
  forensic_job "$task" /O0 /T1 "${letter^^}:\\"
  expect_equal "$name: exit status of the wipe" 0 "$status"
  expect_success_log "$name" "$task"
  expect_equal "$name: what is left on the drive" "$left" "$(ls -A "$FX_MOUNT" | sort | tr '\n' ' ' | sed 's/ $//')"
}

forensic_figures() {
  echo "$1: $(forensic_count "$2" "$3") copies of the marker in ASCII, $(forensic_count_utf16 "$2" "$3") in UTF-16LE"
}
