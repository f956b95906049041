#!/usr/bin/env bash
# Brings the Chinese translation source up to date with the texts marked for
# translation in the code (tr() and QCoreApplication::translate()). New texts
# arrive unfinished; translate them in resources/translations/zev_zh_CN.ts
# (by hand or with Qt Linguist), then build: lrelease runs at build time.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
lupdate=/usr/lib/qt6/bin/lupdate
cd "$here"
"$lupdate" -silent -locations none -no-obsolete engine media cli controller views app \
  -ts resources/translations/zev_zh_CN.ts
unfinished=$(grep -c 'type="unfinished"' resources/translations/zev_zh_CN.ts || true)
echo "update-translations: $unfinished text(s) still to translate"
