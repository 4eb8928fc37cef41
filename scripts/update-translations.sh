#!/usr/bin/env bash
# Refreshes translations/brelvane_en.ts from the sources with lupdate (texts new in the sources
# are added unfinished, texts gone from them are dropped) and lists what still needs an English
# text. Fill those in (Qt Linguist: `linguist translations/brelvane_en.ts`, or any text editor:
# write the text and remove type="unfinished") and commit the file; tst_translations checks it.
# Run it after adding texts, and after every merge that brings texts in or conflicts in the file
# (take either side of the conflict, then run this).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build" >/dev/null
cmake --build "$build" --target update_translations >/dev/null
ts="$top/translations/brelvane_en.ts"
unfinished=$(grep -c 'type="unfinished"' "$ts" || true)
if [ "$unfinished" -eq 0 ]; then
  echo "translations/brelvane_en.ts: every text is translated"
else
  echo "translations/brelvane_en.ts: $unfinished text(s) to translate:"
  grep -B2 'type="unfinished"' "$ts" | sed -n 's|.*<source>\(.*\)</source>.*|  \1|p'
fi
