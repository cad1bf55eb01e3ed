#!/usr/bin/env bash
# Validates the desktop entries and the AppStream metainfo of a build.
#   check_desktop_files.sh BUILD_DIR SOURCE_DIR   (exit 77: skipped, the validators are missing)
set -euo pipefail
BUILD="$1"
SOURCE="$2"
for tool in desktop-file-validate appstreamcli; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "$tool no está instalado: prueba omitida"
    exit 77
  fi
done
desktop-file-validate "$SOURCE"/packaging/*.desktop
appstreamcli validate --no-net "$BUILD"/packaging/*.metainfo.xml
