# Helpers for shell tests that drive the Windows programs under Wine. Source it; call `finish`
# last: it prints the counts and sets the exit status.
WINE="$NW_SOURCE_DIR/scripts/wine-run"
export WINEPREFIX=${WINEPREFIX:-$NW_BUILD_DIR/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
"$NW_SOURCE_DIR/scripts/wineprefix" "$WINEPREFIX" || exit 1

passed=0
failed=0
# The temporary folders to remove at exit, one a line. A file rather than a variable: tests call
# make_temp_folder in a command substitution, whose variables the script never sees.
temp_folder_list=$(mktemp /tmp/nw-temp-folders.XXXXXX)

cleanup_temp_folders() {
  local folder
  while IFS= read -r folder; do [ -n "$folder" ] && rm -rf "$folder"; done < "$temp_folder_list"
  rm -f "$temp_folder_list"
  return 0
}
trap cleanup_temp_folders EXIT

# A Unix path as Wine sees it through drive Z:.
winpath() { local p=$1; echo "Z:${p//\//\\}"; }

make_temp_folder() {
  local folder
  folder=$(mktemp -d "/tmp/nw-$1.XXXXXX")
  echo "$folder" >> "$temp_folder_list"
  echo "$folder"
}

# reg query ARGS...: its standard output and status. A query always prints something, the values
# or why there are none; one that printed nothing at all was ended by Wine before it could answer
# and is asked again.
wine_reg_query() {
  local answer errors status attempt
  errors=$(mktemp /tmp/nw-reg.XXXXXX)
  for attempt in 1 2 3; do
    answer=$($WINE reg query "$@" 2>"$errors")
    status=$?
    [ -n "$answer" ] || [ -s "$errors" ] && break
    sleep 1
  done
  rm -f "$errors"
  [ -n "$answer" ] && printf '%s\n' "$answer"
  return $status
}
# The data of value NAME of KEY as reg prints it, or nothing; the key's default value.
wine_reg_value() { wine_reg_query "$1" /v "$2" | tr -d '\r' | awk -v n="$2" '$1 == n { $1 = ""; $2 = ""; sub(/^  */, ""); print }'; }
wine_reg_default() { wine_reg_query "$1" /ve | tr -d '\r' | awk '/REG_SZ/ { sub(/.*REG_SZ */, ""); print }'; }

wine_reg_set() { $WINE reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1; }
wine_reg_delete_key() { $WINE reg delete "$1" /f >/dev/null 2>&1 || true; }

# The components as the installer leaves them, which start-up checks at every start:
# Taskmere.dll in the system folder and registered, Shelvane.dll registered, and a copy of it in
# each installation folder named (start-up looks for it in AppPath). Tests that unregister a
# component hold the "settings" lock, as every test that runs Nullwright.exe does.
install_components() {
  local system32=$WINEPREFIX/drive_c/windows/system32 folder
  if ! cmp -s "$NW_DIST_DIR/Taskmere.dll" "$system32/Taskmere.dll"; then
    # Renamed into place: a program that has the old one loaded keeps it.
    cp "$NW_DIST_DIR/Taskmere.dll" "$system32/Taskmere.dll.new" && mv -f "$system32/Taskmere.dll.new" "$system32/Taskmere.dll"
  fi
  $WINE regsvr32 /s 'C:\windows\system32\Taskmere.dll' || echo "install_components: Taskmere.dll did not register" >&2
  $WINE regsvr32 /s "$(winpath "$NW_DIST_DIR/Shelvane.dll")" || echo "install_components: Shelvane.dll did not register" >&2
  for folder in "$@"; do cp "$NW_DIST_DIR/Shelvane.dll" "$folder/"; done
}

# Runs Nullwright.exe with an exact command line; sets $status.
run_nullwright() {
  $WINE "$NW_BUILD_DIR/tests/launch.exe" "$(winpath "$NW_DIST_DIR/Nullwright.exe")" "$1"
  status=$?
}

pass() { passed=$((passed + 1)); }
fail() { failed=$((failed + 1)); echo "FAILED: $*" >&2; }

expect_equal() {
  if [ "$2" == "$3" ]; then pass; else fail "$1: expected [$2], got [$3]"; fi
}

# Compares a file's bytes with a printf-style text.
expect_bytes() {
  local expected actual
  expected=$(printf "$3" | od -An -c)
  actual=$(od -An -c "$2" 2>/dev/null)
  if [ "$expected" == "$actual" ]; then pass; else fail "$1: expected$expected, got$actual"; fi
}

finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
