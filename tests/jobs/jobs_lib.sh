# Helpers of the end-to-end job scripts; source after tests/support/wine-test.sh. It makes an
# installation of the language packs in a temporary folder: $work, $install (the settings'
# AppPath, on a fresh settings key $key) and $log.

key='HKCU\Software\Vantor Shredder\Shred'
work=$(make_temp_folder "${JOBS_TAG:-jobs}")
install=$work/install
mkdir "$install"
cp -r "$NW_DIST_DIR/Lang" "$install/"
log=$install/log.txt
wine_reg_delete_key "$key"
wine_reg_set "$key" AppPath REG_SZ "$(winpath "$install")"

# The English text of a key with "#" as CR LF and "%s" replaced by $2.
english() {
  local text
  text=$(grep "^$1=" "$install/Lang/English.ini" | cut -d= -f2- | tr -d '\r')
  text=${text//#/$'\r\n'}
  printf '%s' "${text/\%s/"${2-}"}"
}

# Compares a file's bytes with a string given as it is (no escapes interpreted).
expect_file() {
  if cmp -s "$2" <(printf '%s' "$3"); then pass; else
    fail "$1: expected"; printf '%s' "$3" | od -c | head -8 >&2
    echo "got:" >&2; od -c "$2" 2>/dev/null | head -8 >&2
  fi
}

expect_gone() { if [ ! -e "$2" ] && [ ! -L "$2" ]; then pass; else fail "$1: $2 is still there"; fi; }
