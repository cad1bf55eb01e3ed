#!/bin/bash
# Fails when the given korventa-cli needs Qt Widgets (or PrintSupport, which brings them) at run
# time, or when it does not link QtGui at all (then the check would look at the wrong file).
set -euo pipefail
cli="$1"
libs=$(ldd "$cli")
if ! grep -q 'libQt6Gui' <<<"$libs"; then
  echo "$cli: no libQt6Gui among its libraries; is this korventa-cli?" >&2
  exit 1
fi
if grep -Ei 'libQt6(Widgets|PrintSupport)' <<<"$libs"; then
  echo "$cli links the widgets" >&2
  exit 1
fi
echo "$cli: QtGui without widgets"
