#!/usr/bin/env bash
# The whole road of the file manager's Shred command: the registered handler, given files (one
# with a name no legacy code page holds) and a folder as the file manager gives them, starts the
# real Nullwright.exe of the installation folder, which asks its confirmation (answered here by
# answer_dialogs.exe) and destroys exactly the selection.
set -u
. "$NW_SOURCE_DIR/tests/support/wine-test.sh"

key='HKCU\Software\Vantor Shredder\Shred'
work=$(make_temp_folder shelvane-road)
install=$work/install
mkdir "$install"
cp "$NW_DIST_DIR/Nullwright.exe" "$install/"
cp -r "$NW_DIST_DIR/Lang" "$install/"
trap 'wine_reg_delete_key "$key"; cleanup_temp_folders' EXIT
wine_reg_delete_key "$key"
wine_reg_set "$key" AppPath REG_SZ "$(winpath "$install")"
wine_reg_set "$key" Folder REG_DWORD 2
wine_reg_set "$key" Remove REG_DWORD 2

$WINE regsvr32 /s "$(winpath "$NW_DIST_DIR/Shelvane.dll")"
expect_equal "regsvr32" 0 $?
install_components "$install"

# The English text of a key, its line breaks as '|'.
english() { grep "^$1=" "$install/Lang/English.ini" | cut -d= -f2- | tr -d '\r' | tr '#' '|'; }

# Picks the command for the given paths while answer_dialogs.exe answers the program's
# questions; sets $status and $questions.
choose() {
  local answers=$1
  shift
  $WINE "$NW_BUILD_DIR/tests/answer_dialogs.exe" "Vantor Shredder" $answers > "$work/answers.txt" 2>/dev/null &
  local answerer=$!
  $WINE "$NW_BUILD_DIR/tests/invoke_menu.exe" "$@"
  status=$?
  wait "$answerer"
  questions=$(tr -d '\r' < "$work/answers.txt")
}

data=$work/data
mkdir -p "$data/tree/sub/deep" "$data/beside"
echo "first secret" > "$data/a.txt"
echo "second secret" > "$data/b c.txt"
# A name no legacy code page holds: the program receives it exactly, through the wide command line.
foreign=$'\xc5\x81\xc3\xb3d\xc5\xba \xe5\x90\x8d.txt'
echo "third secret" > "$data/$foreign"
echo a > "$data/tree/a.txt"; echo b > "$data/tree/sub/b.txt"; echo c > "$data/tree/sub/deep/c.txt"
echo "not chosen" > "$data/beside/kept.txt"
echo "not chosen" > "$data/kept.txt"

choose ok "$(winpath "$data/a.txt")" "$(winpath "$data/b c.txt")" "$(winpath "$data/$foreign")" "$(winpath "$data/tree")"
expect_equal "the command and its program" 0 "$status"
expect_equal "the program's confirmation names the count" "$(english 9051 | sed 's/%u/4/')" "$questions"
expect_gone() { if [ ! -e "$1" ]; then pass; else fail "$1 is still there"; fi; }
expect_gone "$data/a.txt"
expect_gone "$data/b c.txt"
expect_gone "$data/$foreign"
expect_gone "$data/tree"
expect_equal "what is left: what was not chosen" "data data/beside data/beside/kept.txt data/kept.txt" \
  "$(cd "$work" && find data | sort | tr '\n' ' ' | sed 's/ $//')"

# Cancel at the confirmation: the one file chosen stays.
choose cancel "$(winpath "$data/kept.txt")"
expect_equal "cancelled: the command and its program" 0 "$status"
confirmation=$(english 9052)
expect_equal "cancelled: the confirmation names the file" "${confirmation/\%s/$(winpath "$data/kept.txt")}" "$questions"
expect_equal "cancelled: the file" "not chosen" "$(cat "$data/kept.txt")"
finish
