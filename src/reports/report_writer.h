#pragma once
// The report writers: the raw line writer and the paginated listing writer, with the state
// they share while one report is written (destination, page and line counters, y position,
// line width, page estimate, report font). Each report gets its own writer, so the state starts
// afresh (line 0, page 1, y 0).
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace korventa::reports {

enum class Destination {
  Archivo,    // "ARCHIVO": commands go to the report file
  Impresora,  // "IMPRESORA": lines go straight to the printer
};

// A printer that receives plain lines top to bottom (the "IMPRESORA" destination).
class DirectPrinter {
 public:
  virtual ~DirectPrinter() = default;
  virtual void printLine(std::string_view text, const std::string& font, int size, bool bold) = 0;
  virtual void newPage() = 0;
};

class ReportWriter {
 public:
  // Destination "ARCHIVO": creates (or empties) the report file. Throws std::runtime_error with a
  // Spanish message when it cannot be written.
  explicit ReportWriter(const std::filesystem::path& file);
  // Destination "IMPRESORA".
  explicit ReportWriter(DirectPrinter& printer);

  // A complete line as given; to the file a line that is empty after trimming goes as one blank.
  void ImprimeLinea(std::string_view line);
  // A listing line: plain lines become "pPos|10|y|line|False|8|page|" 175 twips below the
  // previous one; tags ("<!…") pass unchanged on the first page only. Pages break after 85 lines
  // (83 when the line width is 83 or more) with "pNuevaHoja".
  void ImprimeLineaPag(std::string_view line);
  // Flushes and closes the file; throws std::runtime_error when something could not be written.
  void close();

  Destination destination() const { return destination_; }
  int lineNumber() const { return line_; }  // lines written on the current page
  int pageNumber() const { return page_; }  // 1-based
  int y() const { return y_; }              // twips
  int lineWidth() const { return lineWidth_; }
  void setLineWidth(int width) { lineWidth_ = width; }
  int pageLength() const { return lineWidth_ < 83 ? 85 : 83; }
  const std::filesystem::path& file() const { return path_; }

  double pageEstimate = 0;  // pages announced in "<!nHojas!>"
  std::string fontName = "Courier New";
  int fontSize = 8;
  bool fontBold = false;
  int headersWritten = 0;  // listing headers written so far

 private:
  void writeRaw(std::string_view line);

  Destination destination_;
  std::filesystem::path path_;
  std::ofstream out_;
  DirectPrinter* printer_ = nullptr;
  int line_ = 0;
  int page_ = 1;
  int y_ = 0;
  int lineWidth_ = 82;
};

// Text for a drawing command: "|" would end the argument early, and line breaks would split the
// command, so they become "¦" and blanks.
std::string commandText(std::string_view text);

// Header of a listing page group (import error listings and the like), written through
// ImprimeLineaPag: tags and three empty lines with the report's first header only, three centred title lines
// ("ZUMAR", "ZEL 0601", the title) with the date, time and page label in their margins, two
// empty lines, "CONTRIBUYENTE:  " RUC and name, and a rule of underscores.
struct ListingHeader {
  std::string title;  // third title line
  std::string ruc;
  std::string name;
  int reportLines = 0;  // lines of the whole report, for the page estimate (÷ 69 + 1)
  std::string date;     // "dd/mm/yyyy"; today when empty
  std::string time;     // "hh:mm:ss"; now when empty
};
void writeListingHeader(ReportWriter& w, const ListingHeader& h);

// The clock's time of day as "hh:mm:ss".
std::string currentTime();

}  // namespace korventa::reports
