#!/usr/bin/env bash
# Every text of the program has its English: a text added without one shows
# Chinese in an English window. lupdate reads the sources into a copy of the
# translation file (the same options as the build's update_translations), and
# any text it leaves unfinished is named.
set -euo pipefail
lupdate=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$source/translations/parcelio_en.ts" "$work/en.ts"
cd "$source/src"
find . -name '*.cpp' -o -name '*.h' | sort >"$work/files"
"$lupdate" -silent -no-obsolete -locations none -source-language zh_CN -target-language en \
  -I . "@$work/files" -ts "$work/en.ts" >/dev/null
missing=$(python3 - "$work/en.ts" <<'PY'
import re, sys
text = open(sys.argv[1], encoding="utf-8").read()
for m in re.finditer(r"<message>(.*?)</message>", text, re.S):
    if 'type="unfinished"' in m.group(1):
        print(re.search(r"<source>(.*?)</source>", m.group(1), re.S).group(1))
PY
)
if [ -n "$missing" ]; then
  echo "Texts without English in translations/parcelio_en.ts:"
  printf '%s\n' "$missing"
  exit 1
fi
echo "every text has its English"
