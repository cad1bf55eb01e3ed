#!/usr/bin/env bash
# Forms show what the core reports: no message text is written under src/*/ui/. Flags, in the
# form sources given by SRC (default: the tree's src/), a string literal as the text of a
# message (QMessageBox's static boxes, Messenger calls), of a thrown error or of an error text
# handed back. Captions, labels and titles of widgets are not messages and pass.
# Usage: check_ui_messages.sh SRC_DIR   (exit 0: none found, 1: found, listed on stdout)
set -u
src=${1:?usage: check_ui_messages.sh SRC_DIR}
shopt -s nullglob
files=("$src"/*/ui/*.cpp "$src"/*/ui/*.h)
if [ ${#files[@]} -eq 0 ]; then
  echo "no form sources under $src/*/ui/" >&2
  exit 2
fi
perl -0777 -ne '
  my @rules = (
    [qr/QMessageBox::(?:information|warning|critical|question|about)\s*\([^;]*"/, "QMessageBox text"],
    [qr/(?:msg\(\)|messenger_?|\bm_)\s*\.\s*(?:show|critical|info|warning|yesNo|ask)\s*\([^,;]*"/, "Messenger text"],
    [qr/\b(?:runtime_error|logic_error|invalid_argument)\s*\(\s*(?:std::string\s*\(\s*)?"/, "error text"],
    [qr/\*\s*error\s*=\s*(?:QStringLiteral|QString|tr)?\s*\(?\s*"/, "error text"],
  );
  for my $r (@rules) {
    my ($re, $what) = @$r;
    while (/$re/g) {
      my $line = 1 + (substr($_, 0, $-[0]) =~ tr/\n//);
      print "$ARGV:$line: $what\n";
      $found = 1;
    }
  }
  END { exit($found ? 1 : 0) }
' "${files[@]}"
