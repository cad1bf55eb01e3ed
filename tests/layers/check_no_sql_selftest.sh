#!/usr/bin/env bash
# The SQL check must catch a command that runs SQL of its own: run it on the fixture and expect
# exit 1 with exactly the fixture's line.
set -u
here=$(cd "$(dirname "$0")" && pwd)
out=$(bash "$here/check_no_sql.sh" "$here/fixture/src")
rc=$?
lines=$(printf '%s\n' "$out" | sed -n 's/.*bad_command\.cpp:\([0-9]*\):.*/\1/p' | tr '\n' ' ')
if [ "$rc" -ne 1 ] || [ "$lines" != "2 " ]; then
  echo "expected exit 1 flagging line 2, got exit $rc flagging: $lines" >&2
  printf '%s\n' "$out" >&2
  exit 1
fi
echo "fixture flagged as expected"
