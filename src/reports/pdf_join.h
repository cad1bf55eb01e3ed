#pragma once
// Joins two PDF files into one, the pages of the first followed by those of the second. Made for
// the files of one PDF writer drawn on two threads (each half of a long report into its own
// file): a plain object structure ("N 0 obj ... endobj"), one classic cross-reference table, a
// trailer with /Size, /Root and /Info, and one flat page tree.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace korventa::reports {

// The joined file: the first file's objects as they are (its page tree listing every page), then
// the objects the second file's pages use, renumbered after them; the first file's catalog and
// information dictionary; font subsets of the second file renamed so that no two subsets share a
// name. Nothing when either file holds anything this does not understand (another structure,
// an encrypted file, a damaged table): the caller then writes the file another way.
std::optional<std::string> joinPdfs(std::string_view first, std::string_view second);

// Receives the joined file piece by piece; false stops the join.
using PdfSink = std::function<bool(std::string_view)>;

// The same join handed to `write` as it is made, so that a long file is not held twice. False
// when the files cannot be joined or `write` failed: what `write` received is then no PDF file.
bool joinPdfs(std::string_view first, std::string_view second, const PdfSink& write);

}  // namespace korventa::reports
