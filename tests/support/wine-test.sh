# Helpers for shell tests that drive the Windows programs under Wine. Source it; call `finish`
# last: it prints the counts and sets the exit status.
WINE="$NW_SOURCE_DIR/scripts/wine-run"
export WINEPREFIX=${WINEPREFIX:-$NW_BUILD_DIR/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
"$NW_SOURCE_DIR/scripts/wineprefix" "$WINEPREFIX" || exit 1

passed=0
failed=0
# The folders of make_temp_folder are listed in a file, so that one made in a command
# substitution (a subshell) is removed at exit too.
temp_list=$(mktemp /tmp/nw-temp-list.XXXXXX)

cleanup_temp_folders() {
  local folder
  [ -f "$temp_list" ] && while IFS= read -r folder; do rm -rf "$folder"; done < "$temp_list"
  rm -f "$temp_list"
  return 0
}
trap cleanup_temp_folders EXIT

# A Unix path as Wine sees it through drive Z:.
winpath() { local p=$1; echo "Z:${p//\//\\}"; }

make_temp_folder() {
  local folder
  folder=$(mktemp -d "/tmp/nw-$1.XXXXXX")
  echo "$folder" >> "$temp_list"
  echo "$folder"
}

wine_reg_set() { $WINE reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1; }
wine_reg_delete_key() { $WINE reg delete "$1" /f >/dev/null 2>&1 || true; }

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
