#!/usr/bin/env bash
# SQL lives in the core: the command line, the launcher and the forms call core queries. Flags
# SQL statements and direct SQLite use in SRC/cli, SRC/launcher and SRC/*/ui.
# Usage: check_no_sql.sh SRC_DIR   (exit 0: none found, 1: found, listed on stdout)
set -u
src=${1:?usage: check_no_sql.sh SRC_DIR}
shopt -s nullglob
files=("$src"/cli/*.cpp "$src"/cli/*.h "$src"/launcher/*.cpp "$src"/launcher/*.h "$src"/*/ui/*.cpp "$src"/*/ui/*.h)
if [ ${#files[@]} -eq 0 ]; then
  echo "no sources under $src/cli, $src/launcher or $src/*/ui" >&2
  exit 2
fi
grep -nE '"[^"]*\b(SELECT|INSERT INTO|UPDATE [A-Za-z_0-9]+ SET|DELETE FROM|CREATE TABLE|DROP TABLE)\b|SQLite::|sqlite3_' "${files[@]}" && exit 1
exit 0
