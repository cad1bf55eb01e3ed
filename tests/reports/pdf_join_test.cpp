// Long reports to PDF on two writers: the join of their files and when it is used.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <regex>
#include <set>

#include <QString>

#include "reports/pdf_join.h"
#include "reports/ui/report_renderer.h"
#include "report_support.h"
#include "support/test_db.h"

namespace korventa::reports {
namespace {

using korventa::test::TempDir;

// Pages numbered from `first`, each naming its number in the regular and the bold font.
Document numberedPages(int first, int count, Orientation orientation = Orientation::Portrait) {
  Document doc;
  doc.mode = ReadMode::Print;
  for (int n = first; n < first + count; ++n) {
    Page page;
    page.index = n;
    page.orientation = orientation;
    DrawOp text;
    text.x = 200;
    text.y = 200;
    text.text = "Hoja " + std::to_string(n);
    DrawOp bold = text;
    bold.y = 600;
    bold.bold = true;
    bold.text = "Total " + std::to_string(n * 7);
    DrawOp box;
    box.kind = DrawOp::Kind::Box;
    box.x = 100, box.y = 100, box.x2 = 4000, box.y2 = 1000;
    page.ops = {text, bold, box};
    doc.pages.push_back(page);
  }
  return doc;
}

std::string run(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> p(popen(command.c_str(), "r"), pclose);
  std::string out;
  char buf[4096];
  std::size_t n;
  while (p && (n = fread(buf, 1, sizeof buf, p.get())) > 0) out.append(buf, n);
  return out;
}

// The text of each page, as a reader extracts it.
std::vector<std::string> pageTexts(const std::filesystem::path& pdf) {
  std::string all = run("pdftotext -q '" + pdf.string() + "' - 2>/dev/null");
  std::vector<std::string> pages;
  std::size_t at = 0;
  for (std::size_t ff; (ff = all.find('\f', at)) != std::string::npos; at = ff + 1)
    pages.push_back(all.substr(at, ff - at));
  return pages;
}

// Object numbers whose table entry does not point at "N 0 obj".
std::vector<int> misplacedObjects(const std::string& pdf) {
  std::vector<int> wrong;
  std::smatch m;
  if (!std::regex_search(pdf, m, std::regex(R"(startxref\s+(\d+)\s+%%EOF\s*$)"))) return {-1};
  std::size_t at = std::stoul(m[1]);
  std::smatch head;
  const std::string table = pdf.substr(at);
  if (!std::regex_search(table, head, std::regex(R"(^xref\s+0 (\d+)\s+)"))) return {-1};
  const int size = std::stoi(head[1]);
  for (int n = 1; n < size; ++n) {
    const std::string entry = table.substr(head.length() + 20 * n, 20);
    const std::size_t offset = std::stoul(entry.substr(0, 10));
    const std::string obj = std::to_string(n) + " 0 obj";
    if (entry[17] != 'n' || pdf.compare(offset, obj.size(), obj) != 0) wrong.push_back(n);
  }
  return wrong;
}

std::vector<std::string> subsetTags(const std::string& pdf) {
  std::vector<std::string> tags;
  static const std::regex name(R"(/FontName\s*/([A-Z]{6})\+)");
  for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), name); it != std::sregex_iterator(); ++it)
    tags.push_back((*it)[1]);
  return tags;
}

std::string pdfOf(const Document& doc, const TempDir& dir, const std::string& name) {
  auto file = dir / name;
  EXPECT_TRUE(ui::writePdf(doc, QString::fromStdString(file.string()), nullptr));
  return test::readFile(file);
}

TEST(PdfJoin, JoinedFileReadsAsOneDocument) {
  TempDir dir;
  struct Case {
    const char* name;
    int firstPages, secondPages;
    Orientation second;
  } cases[] = {
      {"a page and a page", 1, 1, Orientation::Portrait},
      {"two pages and three", 2, 3, Orientation::Portrait},
      {"portrait then landscape", 3, 2, Orientation::Landscape},
  };
  for (const auto& c : cases) {
    const std::string a = pdfOf(numberedPages(1, c.firstPages), dir, "a.pdf");
    const std::string b = pdfOf(numberedPages(1 + c.firstPages, c.secondPages, c.second), dir, "b.pdf");
    auto joined = joinPdfs(a, b);
    ASSERT_TRUE(joined.has_value()) << c.name;
    auto file = dir / "joined.pdf";
    std::ofstream(file, std::ios::binary) << *joined;
    EXPECT_EQ(misplacedObjects(*joined), std::vector<int>{}) << c.name;
    const auto texts = pageTexts(file);
    ASSERT_EQ(texts.size(), static_cast<std::size_t>(c.firstPages + c.secondPages)) << c.name;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      EXPECT_NE(texts[i].find("Hoja " + std::to_string(i + 1)), std::string::npos) << c.name << " page " << i + 1;
      EXPECT_NE(texts[i].find("Total " + std::to_string((i + 1) * 7)), std::string::npos) << c.name;
    }
    // Each file embeds its own subset of the regular and the bold font: four names, all apart.
    const auto tags = subsetTags(*joined);
    EXPECT_EQ(tags.size(), 4u) << c.name;
    EXPECT_EQ(std::set<std::string>(tags.begin(), tags.end()).size(), tags.size()) << c.name;
    const std::string info = run("pdfinfo '" + file.string() + "' 2>&1");
    EXPECT_TRUE(std::regex_search(info, std::regex("Pages:\\s+" + std::to_string(c.firstPages + c.secondPages) + "\n")))
        << c.name << info;
    EXPECT_EQ(info.find("Error"), std::string::npos) << c.name << info;
  }
}

TEST(PdfJoin, LongDocumentsAloneGoOnTwoWriters) {
  TempDir dir;
  struct Case {
    const char* name;
    std::size_t pages;
    std::size_t subsets;  // two fonts, embedded once per writer
  } cases[] = {
      {"one page short of the threshold", ui::kPagesForTwoPdfWriters - 1, 2},
      {"at the threshold", ui::kPagesForTwoPdfWriters, 4},
      {"odd count past it", ui::kPagesForTwoPdfWriters + 1, 4},
  };
  for (const auto& c : cases) {
    const std::string pdf = pdfOf(numberedPages(1, static_cast<int>(c.pages)), dir, "long.pdf");
    EXPECT_EQ(subsetTags(pdf).size(), c.subsets) << c.name;
    EXPECT_EQ(misplacedObjects(pdf), std::vector<int>{}) << c.name;
    const auto texts = pageTexts(dir / "long.pdf");
    ASSERT_EQ(texts.size(), c.pages) << c.name;
    for (std::size_t i : {std::size_t{0}, c.pages / 2 - 1, c.pages / 2, c.pages - 1})
      EXPECT_NE(texts[i].find("Hoja " + std::to_string(i + 1) + "\n"), std::string::npos) << c.name << " " << i;
  }
}

// Replaces the first `from` in `text` (same length, so no offset moves unless meant to).
std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  if (at == std::string::npos) return "";
  return text.replace(at, from.size(), to);
}

TEST(PdfJoin, WhatItDoesNotUnderstandIsNotJoined) {
  TempDir dir;
  const std::string a = pdfOf(numberedPages(1, 2), dir, "a.pdf");
  const std::string b = pdfOf(numberedPages(3, 2), dir, "b.pdf");
  // The first object's entry pointing one byte further.
  std::string offByOne = b;
  const std::size_t digit = b.find(" 00000 n \n", b.rfind("xref\n0 ")) - 1;
  offByOne[digit] = b[digit] == '9' ? '8' : static_cast<char>(b[digit] + 1);
  // A page's annotations made a reference to an object that is not there (same length).
  std::smatch annots;
  ASSERT_TRUE(std::regex_search(b, annots, std::regex(R"(/Annots (\d\d+) 0 R)")));
  const std::string noObject = replaced(b, annots.str(0), "/Annots " + std::string(annots.str(1).size(), '9') + " 0 R");
  struct Case {
    const char* name;
    std::string first, second;
    bool joined;
  } cases[] = {
      {"both as written", a, b, true},
      {"not a PDF file", a, "hola", false},
      {"cut short", a, b.substr(0, b.size() - 40), false},
      {"an update appended", a, b + "xref\n0 1\n0000000000 65535 f \ntrailer\n<<>>\nstartxref\n9\n%%EOF\n", false},
      {"a table entry off by one", a, offByOne, false},
      {"an entry marked free", a, replaced(b, "00000 n \n", "00000 f \n"), false},
      {"an encrypted file", replaced(a, "/Size", "/Encrypt 1 0 R /Size"), b, false},
      {"a nested page tree", a, replaced(b, "/Type /Page\n", "/Type /Pagz\n"), false},
      {"a reference to no object", a, noObject, false},
      {"a catalog with more than its pages", a, replaced(b, "/Type /Catalog\n", "/Type/Catalog/A"), false},
      {"a string never closed", a, replaced(b, "(Adobe)", "(Adobe("), false},
  };
  for (const auto& c : cases) {
    ASSERT_FALSE(c.first.empty() || c.second.empty()) << c.name;
    EXPECT_EQ(joinPdfs(c.first, c.second).has_value(), c.joined) << c.name;
  }
}

// A write that fails (a full disk) fails the join, wherever it happens.
TEST(PdfJoin, FailedWriteFailsTheJoin) {
  TempDir dir;
  const std::string a = pdfOf(numberedPages(1, 2), dir, "a.pdf");
  const std::string b = pdfOf(numberedPages(3, 2), dir, "b.pdf");
  const std::size_t whole = joinPdfs(a, b)->size();
  struct Case {
    const char* name;
    std::size_t refuseAfter;  // bytes taken before the write fails
    bool joined;
  } cases[] = {
      {"the first piece", 0, false},
      {"halfway", whole / 2, false},
      {"the table at the end", whole - 10, false},
      {"nothing refused", whole, true},
  };
  for (const auto& c : cases) {
    std::size_t taken = 0;
    auto write = [&](std::string_view piece) {
      if (taken + piece.size() > c.refuseAfter) return false;
      taken += piece.size();
      return true;
    };
    EXPECT_EQ(joinPdfs(a, b, write), c.joined) << c.name;
  }
}

}  // namespace
}  // namespace korventa::reports
