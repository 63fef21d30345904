#!/usr/bin/env bash
# The setup program as an administrator deploys it: scripts/package builds both installers; the
# x64 one installs silently into a fresh Wine prefix (copied from the build's) with the NT platform
# set to Windows XP and to Windows 7; then every file is in place, both components are registered
# and work, start-up finds them, an upgrade over the installation keeps the user's settings and
# log, and a silent uninstall leaves nothing the installer or the program wrote, deletes the
# program's own scheduled tasks and keeps another program's.
set -u
. "$NW_SOURCE_DIR/tests/support/wine-test.sh"

version=$(tr -d ' \r\n' < "$NW_SOURCE_DIR/VERSION")
work=$(make_temp_folder installer)
base_prefix=$WINEPREFIX
# A prefix of a cycle that was stopped halfway must not keep its Wine server.
trap '[ "$WINEPREFIX" != "$base_prefix" ] && /usr/lib/wine/wineserver -k >/dev/null 2>&1; cleanup_temp_folders' EXIT
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"  # no desktop menu entries on the host

# --- Both installers, from the images the build made.
"$NW_SOURCE_DIR/scripts/package" --no-build x86_64 > "$work/package.txt" 2>&1
expect_equal "scripts/package x86_64" 0 $?
setup=$NW_BUILD_DIR/VantorShredder-$version-x64-setup.exe
expect_equal "x64 installer" "pei-x86-64" "$(x86_64-w64-mingw32-objdump -f "$setup" 2>/dev/null | sed -n 's/.*file format //p')"
i686_dist=$NW_SOURCE_DIR/build-i686/dist
if [ -f "$i686_dist/Nullwright.exe" ]; then
  "$NW_SOURCE_DIR/scripts/package" --no-build i686 >> "$work/package.txt" 2>&1
  expect_equal "scripts/package i686" 0 $?
  expect_equal "x86 installer" "pei-i386" \
    "$(x86_64-w64-mingw32-objdump -f "$NW_SOURCE_DIR/build-i686/VantorShredder-$version-x86-setup.exe" 2>/dev/null | sed -n 's/.*file format //p')"
else
  echo "SKIPPED: the x86 installer (build-i686 has not been built; scripts/test builds it)"
fi
[ "$failed" -eq 0 ] || { cat "$work/package.txt" >&2; finish; exit; }

schedule_clsid='{3B7E51A0-6C2D-4F18-9A45-D0C8B2E71F36}'
menu_clsid='{8E2A4C19-7D35-4B60-A1F7-5C93E0D8B24A}'
verb_key='HKCR\CLSID\{645FF040-5081-101B-9F08-00AA002F954E}\shell\Vantor Shredder'
settings_key='HKCU\Software\Vantor Shredder\Shred'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantor Shredder'
# Whatever names one of these was written by the installer, the components or the program.
ours='vantor|nullwright|taskmere|shelvane|taskscheduler\.|3B7E51A0-6C2D-4F18-9A45-D0C8B2E71F36|4CA564D7-4F81-4C2C-9429-6609A57D26A5|F9B424D4-51A1-40E0-8EB1-1B9097AF9811|3A041F1F-A2AC-4453-A057-829C89692083|1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A|67A0279B-3337-4BC2-AA79-56C802EAA72F|24919A8D-2502-49CA-B37B-C348EE6E708C|9B739684-14D2-447F-865E-28E21576139A|897B5A9B-25C7-4C20-BD6A-C13EA4397A6A|8E2A4C19-7D35-4B60-A1F7-5C93E0D8B24A'

expect_exists() { if [ -e "$2" ]; then pass; else fail "$1: $2 is missing"; fi; }
# A Windows path of the prefix's drive C: as a Unix path.
unix_path() { local p=${1#C:\\}; echo "$WINEPREFIX/drive_c/${p//\\//}"; }

# The registry of the prefix as sorted lines "key|value", with continued values joined, Wine's
# key time stamps left out, and the values Wine itself changes on every start (and the console
# settings its console host writes for cscript) taken out.
registry_lines() {
  local hive
  /usr/lib/wine/wineserver -w
  for hive in system user; do
    perl -ne '
      BEGIN { $hive = shift @ARGV; }
      s/\r?\n$//;
      if ($continued ne "") { $_ = $continued . $_; $continued = ""; }
      if (/\\$/) { chop; s/^\s+//; $continued = $_; next; }
      if (/^\[(.*)\]( \d+)?$/) { $key = $1; print "$hive:$key|\n"; next; }
      next if /^#/ || /^$/ || !defined $key;
      next if /^"DriverDateData"=/ || $key =~ /^Console(\\|$)/;
      print "$hive:$key|$_\n";
    ' "$hive" "$WINEPREFIX/$hive.reg"
  done | LC_ALL=C sort -u
}
files_list() { (cd "$WINEPREFIX/drive_c" && find . | LC_ALL=C sort); }

# Files that Windows moves or deletes at its next start (the uninstaller's own copy in the
# temporary folder, a library still loaded), as paths below drive C: ("./users/..."): the sources
# and targets of PendingFileRenameOperations (a target that replaces a file starts with "!").
pending_operations() {
  perl -ne 'next unless /^"PendingFileRenameOperations"=str\(7\):"(.*)"$/;
    for (split /\\0/, $1) { s/\\\\/\\/g; s/^!//; next unless s/^\\\?\?\\C://i; s{\\}{/}g; print ".$_\n"; }' "$WINEPREFIX/system.reg"
}

# A silent job of the installed program, with a file to shred; any message box it shows is
# answered and reported. Sets $job_messages.
run_installed_job() {
  local instdir=$1 name=$2 target
  target=$(unix_path 'C:\shred me.txt')
  echo "secret" > "$target"
  $WINE "$NW_BUILD_DIR/tests/answer_dialogs.exe" "Vantor Shredder" ok ok ok > "$work/answers.txt" 2>/dev/null &
  local answerer=$!
  timeout 120 $WINE "$NW_BUILD_DIR/tests/launch.exe" "$instdir\\Nullwright.exe" "\"/s\" \"$name\" \"/O1\" \"/T1\" \"C:\\shred me.txt\""
  expect_equal "$platform: $name: exit status" 0 $?
  # No message box is due: end the answerer that still waits for one.
  /usr/lib/wine/wineserver -k >/dev/null 2>&1
  wait "$answerer" 2>/dev/null
  job_messages=$(tr -d '\r' < "$work/answers.txt")
  expect_equal "$platform: $name: the file is shredded" no "$([ -e "$target" ] && echo yes || echo no)"
}

# Keeps $1\Shelvane.dll loaded, as the file manager does, until release_shelvane.
hold_shelvane() {
  holder_mark=$work/held.mark
  rm -f "$holder_mark"
  $WINE "$NW_BUILD_DIR/tests/hold_library.exe" "$1\\Shelvane.dll" "$(winpath "$holder_mark")" &
  holder=$!
  for _ in $(seq 300); do [ -s "$holder_mark" ] && break; sleep 0.1; done
  expect_equal "$platform: Shelvane.dll held loaded" yes "$([ -s "$holder_mark" ] && echo yes || echo no)"
}
release_shelvane() { rm -f "$holder_mark"; wait "$holder"; }

# The next start of Windows, which carries out the file operations left for it.
restart_windows() { $WINE wineboot -r >/dev/null 2>&1; /usr/lib/wine/wineserver -w; }

# One whole cycle on one platform. Arguments: the Wine version name, the /D= folder or "" for the
# default one, "purge" to remove the settings with the uninstaller, and when Shelvane.dll is held
# loaded: during the "upgrade" or the "uninstall".
cycle() {
  local platform=$1 folder=$2 purge=$3 held=$4
  local instdir=${folder:-'C:\Program Files\Vantor Shredder'}
  local prefix=$work/prefix-$platform
  echo "--- Windows version $platform, installed into $instdir"
  cp -a "$base_prefix" "$prefix"
  # Only the prefix's own drives: the letters other tests map for a while are theirs.
  find "$prefix/dosdevices" -mindepth 1 -maxdepth 1 -name '[a-y]:*' ! -name 'c:' -exec rm -f {} +
  export WINEPREFIX=$prefix
  wine_reg_set 'HKCU\Software\Wine' Version REG_SZ "$platform"

  # Fresh: nothing of the suite that other tests left in the build's prefix.
  $WINE regsvr32 /u /s "$(winpath "$NW_DIST_DIR/Taskmere.dll")" >/dev/null 2>&1
  $WINE regsvr32 /u /s "$(winpath "$NW_DIST_DIR/Shelvane.dll")" >/dev/null 2>&1
  wine_reg_delete_key 'HKCU\Software\Vantor Shredder'
  wine_reg_delete_key "$verb_key"
  rm -f "$prefix/drive_c/windows/tasks/"*.job "$prefix/drive_c/windows/system32/Taskmere.dll"

  # Another program's task, which the uninstaller must leave alone.
  $WINE regsvr32 /s "$(winpath "$NW_DIST_DIR/Taskmere.dll")" >/dev/null 2>&1
  printf '%s\r\n' 'Set schedule = CreateObject("TaskScheduler.Schedule")' \
    'Set job = schedule.CreateTask("Backup of another program")' \
    'job.ApplicationName = "C:\windows\notepad.exe"' 'job.Creator = "Another Program"' 'job.Save' \
    'WScript.Echo "saved"' > "$work/other.vbs"
  expect_equal "$platform: another program's task" saved "$($WINE cscript //nologo "$(winpath "$work/other.vbs")" 2>/dev/null | tr -d '\r')"
  $WINE regsvr32 /u /s "$(winpath "$NW_DIST_DIR/Taskmere.dll")" >/dev/null 2>&1

  registry_lines > "$work/registry-before.txt"
  files_list > "$work/files-before.txt"

  # --- Install.
  local options=/S
  [ -n "$folder" ] && options="/S /D=$folder"
  $WINE "$NW_BUILD_DIR/tests/launch.exe" "$(winpath "$setup")" "$options"
  local status=$?
  expect_equal "$platform: setup exit code" 0 "$status"

  local dir relative_dir
  dir=$(unix_path "$instdir")
  relative_dir=.${dir#"$prefix/drive_c"}  # as pending_operations names it
  for file in $(cd "$NW_DIST_DIR" && find . -type f | sed 's|^\./||'); do
    [ "$file" = Taskmere.dll ] && continue
    if cmp -s "$NW_DIST_DIR/$file" "$dir/$file"; then pass; else fail "$platform: $instdir\\$file is not the built file"; fi
  done
  expect_exists "$platform: uninstaller" "$dir/Uninstall.exe"
  expect_equal "$platform: Taskmere.dll in the system folder" same \
    "$(cmp -s "$NW_DIST_DIR/Taskmere.dll" "$prefix/drive_c/windows/system32/Taskmere.dll" && echo same || echo different)"
  expect_equal "$platform: Taskmere.dll only in the system folder" no "$([ -e "$dir/Taskmere.dll" ] && echo yes || echo no)"
  # For all users: in the common Start menu, not in the installing user's.
  local menu="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vantor Shredder"
  expect_exists "$platform: Start menu shortcut" "$menu/Vantor Shredder.lnk"
  expect_exists "$platform: Start menu help shortcut" "$menu/Vantor Shredder Help.lnk"
  for binary in "$instdir\\Nullwright.exe" "$instdir\\Shelvane.dll" 'C:\windows\system32\Taskmere.dll'; do
    printf '%s\r\n' "WScript.Echo CreateObject(\"Scripting.FileSystemObject\").GetFileVersion(\"$binary\")" > "$work/version.vbs"
    expect_equal "$platform: version of $binary" "$version.0" "$($WINE cscript //nologo "$(winpath "$work/version.vbs")" 2>/dev/null | tr -d '\r')"
  done

  # Registration: the scheduler component where start-up looks, driven by a real client.
  expect_equal "$platform: Taskmere's server" 'C:\windows\system32\Taskmere.dll' "$(wine_reg_default "HKCR\\CLSID\\$schedule_clsid\\InprocServer32")"
  local client
  client=$($WINE cscript //nologo "$(winpath "$NW_SOURCE_DIR/tests/taskmere/client.vbs")" 2>/dev/null | tr -d '\r')
  expect_equal "$platform: client.vbs against the installed component" "client finished, 0 failed" "$(echo "$client" | tail -n 1)"
  expect_equal "$platform: Shelvane's server" "$instdir\\Shelvane.dll" "$(wine_reg_default "HKCR\\CLSID\\$menu_clsid\\InprocServer32")"
  expect_equal "$platform: context-menu handler created by its class id" "created by $instdir\\Shelvane.dll" \
    "$($WINE "$NW_BUILD_DIR/tests/create_handler.exe" "$menu_clsid" 2>&1 | tr -d '\r')"

  expect_equal "$platform: AppPath" "$instdir" "$(wine_reg_value "$settings_key" AppPath)"
  expect_equal "$platform: DisplayName" "Vantor Shredder" "$(wine_reg_value "$uninstall_key" DisplayName)"
  expect_equal "$platform: DisplayVersion" "$version" "$(wine_reg_value "$uninstall_key" DisplayVersion)"
  expect_equal "$platform: Publisher" "Vantor" "$(wine_reg_value "$uninstall_key" Publisher)"
  expect_equal "$platform: DisplayIcon" "$instdir\\Nullwright.exe" "$(wine_reg_value "$uninstall_key" DisplayIcon)"
  expect_equal "$platform: InstallLocation" "$instdir" "$(wine_reg_value "$uninstall_key" InstallLocation)"
  expect_equal "$platform: UninstallString" "\"$instdir\\Uninstall.exe\"" "$(wine_reg_value "$uninstall_key" UninstallString)"
  expect_equal "$platform: QuietUninstallString" "\"$instdir\\Uninstall.exe\" /S" "$(wine_reg_value "$uninstall_key" QuietUninstallString)"
  expect_equal "$platform: NoModify" 0x1 "$(wine_reg_value "$uninstall_key" NoModify)"
  expect_equal "$platform: NoRepair" 0x1 "$(wine_reg_value "$uninstall_key" NoRepair)"
  local size
  size=$(( $(wine_reg_value "$uninstall_key" EstimatedSize) ))
  local measured=$(( ($(du -sb "$dir" | cut -f1) + $(stat -c %s "$NW_DIST_DIR/Taskmere.dll")) / 1024 ))
  if [ "$size" -ge $((measured * 9 / 10)) ] && [ "$size" -le $((measured * 11 / 10 + 8)) ]; then pass
  else fail "$platform: EstimatedSize $size KiB, the files take $measured KiB"; fi

  # --- The installed program, started as a scheduled task starts it.
  run_installed_job "$instdir" "Installed check"
  expect_bytes "$platform: log of a silent job" "$dir/log.txt" 'Task Name: Installed check\r\nSuccess\r\n\r\n'
  if [ -z "$job_messages" ]; then pass; else fail "$platform: the silent job showed: $job_messages"; fi
  # Written by that start: the caption, and the program in quotes (its folder has blanks).
  expect_equal "$platform: the Recycle Bin verb's caption" "&Shred Recycle Bin" "$(wine_reg_default "$verb_key")"
  expect_equal "$platform: the Recycle Bin verb's command" "\"$instdir\\Nullwright.exe\" recycle" "$(wine_reg_default "$verb_key\\command")"

  # The help's own example script makes a task of the program's own.
  perl -0ne 'print $1 if m{<pre class="vbscript">(.*?)</pre>}s' "$NW_SOURCE_DIR/help/html/automation.html" |
    perl -pe 's/&amp;/&/g; s/&lt;/</g; s/&gt;/>/g; s/\n/\r\n/; s/\Q"C:\Program Files\Vantor Shredder\Nullwright.exe"\E/"$ENV{NW_INSTDIR}\\Nullwright.exe"/' \
    > "$work/weekly.vbs"
  expect_equal "$platform: the help's example script" 'Weekly Recycle Bin: "/s" "Weekly Recycle Bin" "/O1" "/T3" "recycle"' \
    "$(NW_INSTDIR=$instdir $WINE cscript //nologo "$(winpath "$work/weekly.vbs")" 2>/dev/null | tr -d '\r')"

  # --- Upgrade in place over it: the user's changed setting and the log stay.
  wine_reg_set "$settings_key" PassCount REG_DWORD 7
  cp "$dir/log.txt" "$work/log-before-upgrade.txt"
  [ "$held" = upgrade ] && hold_shelvane "$instdir"
  $WINE "$NW_BUILD_DIR/tests/launch.exe" "$(winpath "$setup")" /S
  status=$?
  if [ "$held" = upgrade ]; then
    release_shelvane
    # The new library waits beside the held one and replaces it at the next start.
    /usr/lib/wine/wineserver -w
    expect_equal "$platform: upgrade: the held Shelvane.dll is replaced at the next start" yes \
      "$(pending_operations | grep -q -x -F "$relative_dir/Shelvane.dll" && echo yes || echo no)"
    restart_windows
    expect_equal "$platform: upgrade: Shelvane.dll after the next start" same \
      "$(cmp -s "$NW_DIST_DIR/Shelvane.dll" "$dir/Shelvane.dll" && echo same || echo different)"
    expect_equal "$platform: upgrade: nothing left for the next start" "" "$(pending_operations | grep -v -E '^\./users/[^/]+/Temp/')"
  fi
  expect_equal "$platform: upgrade exit code" 0 "$status"
  expect_equal "$platform: upgrade: changed setting kept" 0x7 "$(wine_reg_value "$settings_key" PassCount)"
  expect_equal "$platform: upgrade: AppPath" "$instdir" "$(wine_reg_value "$settings_key" AppPath)"
  expect_equal "$platform: upgrade: log kept" same "$(cmp -s "$work/log-before-upgrade.txt" "$dir/log.txt" && echo same || echo different)"
  expect_equal "$platform: upgrade: in the same folder" "$instdir" "$(wine_reg_value "$uninstall_key" InstallLocation)"
  expect_equal "$platform: upgrade: Taskmere still registered" 'C:\windows\system32\Taskmere.dll' "$(wine_reg_default "HKCR\\CLSID\\$schedule_clsid\\InprocServer32")"
  expect_equal "$platform: upgrade: the program's task kept" yes "$([ -f "$prefix/drive_c/windows/tasks/Weekly Recycle Bin.job" ] && echo yes || echo no)"

  # --- Uninstall silently, as "Apps and features" runs QuietUninstallString.
  local quiet program arguments
  quiet=$(wine_reg_value "$uninstall_key" QuietUninstallString)
  program=${quiet#\"}
  program=${program%%\"*}
  arguments=${quiet#\""$program"\" }
  [ "$purge" = purge ] && arguments="$arguments /PURGE"
  [ "$held" = uninstall ] && hold_shelvane "$instdir"
  $WINE "$NW_BUILD_DIR/tests/launch.exe" "$program" "$arguments"
  if [ "$held" = uninstall ]; then
    # The uninstaller deletes itself last: by then it has tried the held library.
    for _ in $(seq 600); do [ -e "$dir/Uninstall.exe" ] || break; sleep 0.1; done
    release_shelvane
  fi
  /usr/lib/wine/wineserver -w  # the uninstaller goes on in a copy of itself, as NSIS uninstallers do

  expect_equal "$platform: uninstall: the program's task deleted" no "$([ -f "$prefix/drive_c/windows/tasks/Weekly Recycle Bin.job" ] && echo yes || echo no)"
  expect_equal "$platform: uninstall: another program's task kept" yes "$([ -f "$prefix/drive_c/windows/tasks/Backup of another program.job" ] && echo yes || echo no)"

  registry_lines > "$work/registry-after.txt"
  files_list > "$work/files-after.txt"
  local kept_registry="" kept_files=""
  if [ "$purge" != purge ]; then
    kept_registry='^user:Software\\\\Vantor Shredder(\\\\Shred)?\|'
    local relative=${instdir#C:\\}
    kept_files="^\./${relative//\\//}(/log\.txt)?$"
    expect_equal "$platform: uninstall: settings kept" 0x7 "$(wine_reg_value "$settings_key" PassCount)"
    expect_equal "$platform: uninstall: log kept" same "$(cmp -s "$work/log-before-upgrade.txt" "$dir/log.txt" && echo same || echo different)"
  fi
  # Registry: no key or value added that was not there before (the kept settings apart; an empty
  # key that Windows itself keeps, such as the list of installed programs, is not a value; the
  # operations left for the next start are checked with the files), and nothing of the suite left
  # under any name.
  local added removed
  added=$(LC_ALL=C comm -13 "$work/registry-before.txt" "$work/registry-after.txt" | grep -v '|$' |
          grep -v '|"PendingFileRenameOperations"=' |
          { [ -n "$kept_registry" ] && grep -v -E "$kept_registry" || cat; })
  if [ -z "$added" ]; then pass; else fail "$platform: uninstall left in the registry:"; echo "$added" >&2; fi
  removed=$(LC_ALL=C comm -23 "$work/registry-before.txt" "$work/registry-after.txt" | grep -v '|$')
  if [ -z "$removed" ]; then pass; else fail "$platform: the installation or uninstall removed from the registry:"; echo "$removed" >&2; fi
  local leftovers
  leftovers=$(grep -i -E "$ours" "$work/registry-after.txt" | grep -v '|"PendingFileRenameOperations"=' |
              { [ -n "$kept_registry" ] && grep -v -E "$kept_registry" || cat; })
  if [ -z "$leftovers" ]; then pass; else fail "$platform: keys or values of the suite left:"; echo "$leftovers" >&2; fi

  # Files: none added but those Windows deletes at its next start (and the kept log).
  local pending
  pending=$(pending_operations)
  added=$(LC_ALL=C comm -13 "$work/files-before.txt" "$work/files-after.txt" |
          { [ -n "$kept_files" ] && grep -v -E "$kept_files" || cat; } |
          while IFS= read -r file; do echo "$pending" | grep -q -x -F "$file" || echo "$file"; done)
  if [ -z "$added" ]; then pass; else fail "$platform: uninstall left files:"; echo "$added" >&2; fi
  removed=$(LC_ALL=C comm -23 "$work/files-before.txt" "$work/files-after.txt")
  if [ -z "$removed" ]; then pass; else fail "$platform: the installation or uninstall removed files:"; echo "$removed" >&2; fi
  if [ "$held" = uninstall ]; then
    expect_equal "$platform: the held Shelvane.dll is deleted at the next start" yes \
      "$(echo "$pending" | grep -q -x -F "$relative_dir/Shelvane.dll" && echo yes || echo no)"
  fi
  local outside
  outside=$(echo "$pending" | grep -v -E '^\./users/[^/]+/Temp/~nsu[^/]*\.tmp(/[^/]+)?$' | grep -v -x -F "$relative_dir/Shelvane.dll")
  if [ -z "$outside" ]; then pass; else fail "$platform: left for the next start: $outside"; fi
  if [ "$held" = uninstall ]; then
    restart_windows
    expect_equal "$platform: Shelvane.dll after the next start" gone "$([ -e "$dir/Shelvane.dll" ] && echo there || echo gone)"
  fi

  /usr/lib/wine/wineserver -k >/dev/null 2>&1
  export WINEPREFIX=$base_prefix
  rm -rf "$prefix"
}

cycle winxp "" keep uninstall
cycle win7 'C:\Vantor Test Shredder' purge upgrade
finish
