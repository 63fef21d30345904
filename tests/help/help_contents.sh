#!/usr/bin/env bash
# The compiled help file as the viewer reads it: its table of contents lists every page, every
# page has a head and a title, no link or index entry leads nowhere, the troubleshooting pages
# quote every message of the English language pack by its exact text, and ShredHlp.html is the
# help file's subfolder options page standing alone.
set -u
. "$NW_SOURCE_DIR/tests/support/wine-test.sh"

chm=$NW_DIST_DIR/HLP/VantorShred.chm
work=$(make_temp_folder help)
chmls extractall "$chm" "$work/chm" >/dev/null 2>&1
chmls extracttoc "$chm" "$work/toc.hhc" >/dev/null 2>&1
expect_equal "help file extracted" yes "$([ -d "$work/chm/html" ] && echo yes || echo no)"

# The files a sitemap (contents or index) points to, one a line, as paths inside the help file.
sitemap_targets() { grep -o '<param name="Local" value="[^"]*"' "$1" | sed 's/.*value="//; s/"$//; s|\\|/|g' | sort -u; }

pages=$(cd "$work/chm" && find . -name '*.html' | sed 's|^\./||' | sort)
expect_equal "pages in the help file" yes "$([ -n "$pages" ] && echo yes || echo no)"
toc=$(sitemap_targets "$work/toc.hhc")
expect_equal "pages the table of contents lists" "$pages" "$toc"
for target in $(sitemap_targets "$work/chm/VantorShred.hhk"); do
  if [ -f "$work/chm/$target" ]; then pass; else fail "index entry leads to $target, which is not in the help file"; fi
done

# Every page: a head, a non-empty title, a heading; every link and picture leads to a file of the
# help file, and an anchor to an id of that page.
for page in $pages; do
  file=$work/chm/$page
  if grep -q '<head>' "$file" && grep -q '</head>' "$file"; then pass; else fail "$page has no head"; fi
  title=$(tr '\n' ' ' < "$file" | sed -n 's:.*<title>\([^<]*\)</title>.*:\1:p')
  if [ -n "$title" ]; then pass; else fail "$page has no title"; fi
  if grep -q '<h1>' "$file"; then pass; else fail "$page has no heading"; fi
  for link in $(grep -o -E '(href|src)="[^"]*"' "$file" | sed -E 's/^(href|src)="//; s/"$//'); do
    target=${link%%#*}
    anchor=${link#"$target"}
    anchor=${anchor#\#}
    [ -n "$target" ] || target=$(basename "$page")
    resolved=$(dirname "$page")/$target
    if [ -f "$work/chm/$resolved" ]; then pass; else fail "$page links to $link, which is not in the help file"; continue; fi
    if [ -n "$anchor" ]; then
      if grep -q -E "(id|name)=\"$anchor\"" "$work/chm/$resolved"; then pass; else fail "$page links to $link: no such anchor"; fi
    fi
  done
done

# A message as the program shows it and as a page quotes it, compared in one form: "#" for each
# line break, "%" for each value filled in, entities decoded, runs of blanks as one.
normalize_pack() { sed 's/%[sutc]/%/g'; }
normalize_page() { perl -pe 's/<br>/#/g; s/<var>.*?<\/var>/%/g; s/<[^>]+>//g; s/&amp;/&/g; s/&lt;/</g; s/&gt;/>/g; s/&quot;/"/g; s/&#39;/\x27/g'; }
trim() { perl -pe 's/\s+/ /g; s/\s*#\s*/#/g; s/^[\s#]+//; s/[\s#]+$//'; }
pack=$NW_DIST_DIR/Lang/English.ini
# Message texts: keys 9006 to 9073, the wipe's leftovers (9300 on) and the old-shell notice; 9063 and 9064 are titles of questions.
for key in $(grep -o -E "^(90[0-7][0-9]|93[0-9][0-9]|11000)=" "$pack" | tr -d = | grep -v -x -E "9063|9064"); do
  expected=$(grep "^$key=" "$pack" | cut -d= -f2- | tr -d '\r' | normalize_pack | trim)
  quoted=$(cat "$work"/chm/html/*.html | tr '\n' ' ' | perl -ne 'while (/<p class="message" id="m'"$key"'">(.*?)<\/p>/g) { print "$1\n" }' | head -n 1 | normalize_page | trim)
  if [ -z "$quoted" ]; then fail "message $key is not quoted on a troubleshooting page"
  elif [[ "$quoted" == *"$expected"* ]]; then pass
  else fail "message $key: the language pack says [$expected], the help quotes [$quoted]"; fi
done

# ShredHlp.html: the same page without the parts that only the help file can follow.
standalone=$NW_DIST_DIR/HLP/ShredHlp.html
body() { sed -n '/<body>/,/<\/body>/p' "$1"; }
expected_body=$(body "$work/chm/html/subfolders.html" | sed '/<!-- help file only -->/,/<!-- end of help file only -->/d')
expect_equal "body of ShredHlp.html" "$expected_body" "$(body "$standalone")"
expect_equal "links in ShredHlp.html" 0 "$(grep -c -E 'href=|src=' "$standalone")"
expect_equal "title of ShredHlp.html" "<title>Vantor Shredder Help: Subfolder options</title>" "$(grep '<title>' "$standalone")"
finish
