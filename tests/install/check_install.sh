#!/usr/bin/env bash
# Installs a build into a temporary DESTDIR with prefix /usr, compares the installed files and
# the install manifest with packaging/installed_files.txt (and the file list of a .deb built in
# that folder, if there is one), checks that the desktop entries name installed programs and
# icon, and runs the installed korventa-cli on a temporary database.
#   check_install.sh BUILD_DIR SOURCE_DIR        (exit 77: skipped, dpkg-deb is missing)
set -euo pipefail
BUILD="$1"
SOURCE="$2"
if ! command -v dpkg-deb >/dev/null 2>&1; then
  echo "dpkg-deb no está instalado: prueba omitida"
  exit 77
fi

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
ROOT="$WORK/root"
fail() { echo "FALLA: $*" >&2; exit 1; }

# The file list expected of this build: the manual page only when the build made one.
expected() {
  grep -v '^#' "$SOURCE/packaging/installed_files.txt" | grep -v '^$' |
    if [ -f "$BUILD/packaging/korventa-cli.1.gz" ]; then cat; else grep -v '/man1/korventa-cli'; fi |
    LC_ALL=C sort
}
expected >"$WORK/expected"

DESTDIR="$ROOT" cmake --install "$BUILD" --prefix /usr >"$WORK/install.log" 2>&1 || { cat "$WORK/install.log"; fail "cmake --install"; }

(cd "$ROOT" && find . -type f -o -type l) | sed 's|^\.||' | LC_ALL=C sort >"$WORK/installed"
diff -u "$WORK/expected" "$WORK/installed" || fail "los archivos instalados no son los esperados"
sed "s|^$ROOT||" "$BUILD/install_manifest.txt" | LC_ALL=C sort >"$WORK/manifest"
diff -u "$WORK/expected" "$WORK/manifest" || fail "install_manifest.txt no lista los archivos esperados"

shopt -s nullglob
for deb in "$BUILD"/korventa_*.deb; do
  dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\.||' | LC_ALL=C sort >"$WORK/deb"
  diff -u "$WORK/expected" "$WORK/deb" || fail "$(basename "$deb") no tiene los archivos esperados"
done
shopt -u nullglob

# Every desktop entry starts an installed program and shows an installed icon.
for entry in "$ROOT"/usr/share/applications/*.desktop; do
  exec_program="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")"
  icon="$(sed -n 's/^Icon=//p' "$entry")"
  [ -x "$ROOT/usr/bin/$exec_program" ] || fail "$(basename "$entry"): Exec=$exec_program no está en /usr/bin"
  [ -f "$ROOT/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "$(basename "$entry"): no está el ícono $icon"
done
grep -q '^NoDisplay=true' "$ROOT/usr/share/applications/org.korventa.Korventa.desktop" ||
  fail "el módulo no debe aparecer en el menú (NoDisplay=true)"
launchable="$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$ROOT"/usr/share/metainfo/*.metainfo.xml)"
[ -f "$ROOT/usr/share/applications/$launchable" ] || fail "metainfo: no está la entrada $launchable"

# The installed command line works on its own, away from the build and the sources.
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" KORVENTA_INI="$WORK/VKRS000.INI" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME"
CLI="$ROOT/usr/bin/korventa-cli"
DB="$WORK/korventa.db"
cd "$WORK"
"$CLI" --version | grep -qx "korventa-cli $(sed -n 's/.*project([^)]*VERSION \([0-9.]*\).*/\1/p' "$SOURCE/CMakeLists.txt")" ||
  fail "korventa-cli --version no muestra la versión del proyecto"
"$CLI" --db "$DB" init --demo || fail "korventa-cli init --demo"
"$CLI" --db "$DB" --user CONTADOR new 20503987610 201206 || fail "korventa-cli new"
"$CLI" --db "$DB" --user CONTADOR list >"$WORK/list" || fail "korventa-cli list"
grep -Eq $'^20503987610\t.*\t062012\t' "$WORK/list" ||
  { cat "$WORK/list"; fail "la declaración nueva no aparece en la lista"; }
echo "Instalación correcta: $(wc -l <"$WORK/installed") archivos"
