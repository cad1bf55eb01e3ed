#pragma once
// A report file read for the preview or for the printer: pages of drawing operations in twips
// (1/1440 inch, from the top left corner of the page), with no dependency on a toolkit.
#include <string>
#include <vector>

#include "reports/report_language.h"

namespace korventa::reports {

enum class Orientation { Portrait, Landscape };

struct DrawOp {
  enum class Kind {
    Text,          // text with its top left corner at (x, y)
    VerticalText,  // character i (from 1) at (x, y + (i - 1) * kVerticalStep)
    Box,           // outline of the rectangle (x, y)-(x2, y2), four lines of width 1
  };
  Kind kind = Kind::Text;
  int x = 0, y = 0, x2 = 0, y2 = 0;
  std::string text;  // UTF-8, exactly as written (leading blanks kept)
  std::string font = "Courier New";
  int size = 8;  // points
  bool bold = false;

  friend bool operator==(const DrawOp&, const DrawOp&) = default;
};

inline constexpr int kVerticalStep = 190;

struct Page {
  int index = 0;   // preview: the page index of the file (0 = first); print: the sheet number
  Rgb background;  // preview pages only
  Orientation orientation = Orientation::Portrait;  // printed sheets only
  std::vector<DrawOp> ops;
};

enum class ReadMode {
  Preview,  // one page per page index of the file; colour applies, orientation does not
  Print,    // sheets separated by "pNuevaHoja"; orientation applies, colour does not
};

struct Document {
  ReadMode mode = ReadMode::Preview;
  // Preview: the preview pages in page order (at least one). Print: the sheets to print (a sheet
  // is started by the first drawing after "pNuevaHoja", so there is no blank trailing sheet).
  std::vector<Page> pages;
  std::string fontName = "Courier New";  // "<!font!>": the font of lines printed directly
  int announcedPages = 0;                // "<!nHojas!>"
  int skippedLines = 0;                  // lines with no command or an unknown one
};

// The page-range selection: pages are 1-based here, page indices of the file 0-based.
struct PageRange {
  bool active = false;
  int first = 1;
  int last = 1;
  bool contains(int pageIndex) const { return first <= pageIndex + 1 && pageIndex + 1 <= last; }
};

}  // namespace korventa::reports
