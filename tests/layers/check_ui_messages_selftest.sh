#!/usr/bin/env bash
# The message check must catch a form that writes its own messages: run it on the fixture and
# expect exit 1 with exactly the lines the fixture marks.
set -u
here=$(cd "$(dirname "$0")" && pwd)
out=$(bash "$here/check_ui_messages.sh" "$here/fixture/src")
rc=$?
lines=$(printf '%s\n' "$out" | sed -n 's/.*bad_form\.cpp:\([0-9]*\):.*/\1/p' | tr '\n' ' ')
if [ "$rc" -ne 1 ] || [ "$lines" != "3 4 6 7 8 " ]; then
  echo "expected exit 1 flagging lines 3 4 6 7 8, got exit $rc flagging: $lines" >&2
  printf '%s\n' "$out" >&2
  exit 1
fi
echo "fixture flagged as expected"
