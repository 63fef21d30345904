# A scheduled free-space wipe ended from outside during its fill (as by a power loss: the
# process is killed and runs no clean-up of its own) leaves its work folder and fill files on
# the drive, and the drive full. The next wipe must leave neither the folder nor a fill file, and
# the free space must be back to what it was before the first wipe. The drive has more than
# 1 GiB free, so the first wipe makes two fill files and the second, on the full drive, plans
# only one.
source "$NW_SOURCE_DIR/tests/support/wine-test.sh"
source "$NW_SOURCE_DIR/tests/forensic/lib.sh"
forensic_require_ntfs

name="interrupted wipe"
forensic_install
forensic_ntfs interrupted 1200
echo "kept" > "$FX_MOUNT/kept.txt"
sync
work="$FX_MOUNT/SHREDTMP.\$\$\$"
free_before=$(stat -f -c %f "$FX_MOUNT")
forensic_map_ntfs_drive n
echo "$name: before the first wipe: $free_before free clusters; Windows reports [$(forensic_volume_info n)]"

# The task's name tells this test's process from any other.
task="Interrupted $$-$RANDOM"
forensic_job "$task" /O0 /T1 'N:\' &
job=$!
# The Linux process of Nullwright.exe: Wine starts it on its own, so it is found by its command
# line, which holds the task name.
program=""
deadline=$((SECONDS + 120))
while [ -z "$program" ] && [ "$SECONDS" -lt "$deadline" ] && kill -0 "$job" 2>/dev/null; do
  if [ ! -e "$work/SHRED001.TMP" ]; then
    sleep 0.02
    continue
  fi
  for cmdline in /proc/[0-9]*/cmdline; do
    if tr '\0' ' ' < "$cmdline" 2>/dev/null | grep -q -F "Nullwright.exe /s $task "; then
      program=${cmdline#/proc/}
      program=${program%/cmdline}
      break
    fi
  done
done
if [ -n "$program" ]; then
  kill -KILL "$program"
  pass
else
  fail "$name: the first wipe ended before its second fill file could be seen"
fi
wait "$job"
expect_equal "$name: the first wipe ended by the kill" "" "$(tr -d '\r' < "$FX_LOG" 2>/dev/null | grep -v '^Task Name')"
echo "$name: after the kill: $(stat -f -c %f "$FX_MOUNT") free clusters; Windows reports [$(forensic_volume_info n)];" \
  "left: $(cd "$FX_MOUNT" && find . -path ./kept.txt -prune -o -type f -printf '%p %s, ' | sed 's/, $//')"

forensic_wipe_job "$name" "Again" n kept.txt
echo "$name: after the second wipe: $(stat -f -c %f "$FX_MOUNT") free clusters;" \
  "left: $(cd "$FX_MOUNT" && find . -path ./kept.txt -prune -o -printf '%p %s, ' | sed 's/, $//')"
expect_equal "$name: the file beside the wipe" "kept" "$(cat "$FX_MOUNT/kept.txt")"
expect_equal "$name: free clusters afterwards" "$free_before" "$(stat -f -c %f "$FX_MOUNT")"

finish
