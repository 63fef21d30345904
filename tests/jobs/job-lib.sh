# Helpers for the scripts that run Nullwright.exe's jobs: an installation folder made the
# settings' AppPath, the English texts as the log writes them, and byte comparisons of files.
# Source it after tests/support/wine-test.sh.
#
#   job_install FOLDER [skin]   makes FOLDER with the language packs (and the movies with
#                               "skin") and the installed components, clears the settings and
#                               makes FOLDER their AppPath; sets $install and $log
#   english KEY [S [U]]         the English text of KEY: "#" as CR LF, "%s" replaced (by nothing
#                               without S), "%u" replaced when U is given
#   expect_file NAME FILE TEXT  compares a file's bytes with TEXT, taken as it is
#   expect_gone NAME PATH       PATH (a file, a folder or a link) no longer exists
#   job_drive LETTER SIZE       mounts a tmpfs of SIZE at $work/drive-LETTER and makes it the
#                               drive LETTER; sets $drive; false where nothing can be mounted
#   job_drop_drive LETTER       unmaps and unmounts it again

key='HKCU\Software\Vantor Shredder\Shred'

job_install() {
  install=$1
  mkdir -p "$install"
  cp -r "$NW_DIST_DIR/Lang" "$install/"
  [ "${2-}" == skin ] && cp -r "$NW_DIST_DIR/Skin" "$install/"
  install_components "$install"
  log=$install/log.txt
  wine_reg_delete_key "$key"
  wine_reg_set "$key" AppPath REG_SZ "$(winpath "$install")"
}

english() {
  local text
  text=$(grep "^$1=" "$NW_DIST_DIR/Lang/English.ini" | cut -d= -f2- | tr -d '\r')
  text=${text//#/$'\r\n'}
  text=${text/\%s/"${2-}"}
  [ $# -ge 3 ] && text=${text/\%u/"$3"}
  printf '%s' "$text"
}

expect_file() {
  if cmp -s "$2" <(printf '%s' "$3"); then pass; else
    fail "$1: expected"; printf '%s' "$3" | od -c | head -12 >&2
    echo "got:" >&2; od -c "$2" 2>/dev/null | head -12 >&2
  fi
}

expect_gone() { if [ ! -e "$2" ] && [ ! -L "$2" ]; then pass; else fail "$1: $2 is still there"; fi; }

job_drive() {
  drive=$work/drive-$1
  mkdir -p "$drive"
  [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size="$2" tmpfs "$drive" 2>/dev/null || return 1
  ln -sfn "$drive" "$WINEPREFIX/dosdevices/$1:"
  # A running wineserver keeps the drive list it started with; wait for it to end (never kill it:
  # other tests may be using it).
  /usr/lib/wine/wineserver -w
}

job_drop_drive() {
  rm -f "$WINEPREFIX/dosdevices/$1:"
  umount "$work/drive-$1"
}
