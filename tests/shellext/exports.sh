#!/usr/bin/env bash
# Both builds of Shelvane.dll export the four functions of an in-process server by their plain
# names (the 32-bit build without stdcall decorations), which is how regsvr32 and COM find them.
set -u
passed=0
failed=0
expected=$'DllCanUnloadNow\nDllGetClassObject\nDllRegisterServer\nDllUnregisterServer'

check() {
  local dll=$1 format=$2 exports
  if ! objdump -f "$dll" 2>/dev/null | grep -q "file format $format"; then
    failed=$((failed + 1)); echo "FAILED: $dll is not a $format file" >&2; return
  fi
  exports=$(objdump -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^\t\[/ { print $NF }')
  if [ "$exports" == "$expected" ]; then passed=$((passed + 1)); else
    failed=$((failed + 1)); echo "FAILED: exports of $dll: expected [$expected], got [$exports]" >&2
  fi
}

check "$NW_DIST_DIR/Shelvane.dll" pei-x86-64
i686=$NW_SOURCE_DIR/build-i686/dist/Shelvane.dll
if [ ! -f "$i686" ]; then
  echo "SKIPPED: the i686 build is missing (scripts/build i686 makes it)"
  exit 77
fi
check "$i686" pei-i386
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
