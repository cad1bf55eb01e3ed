#include "printouts/workbook.h"

#include <stdexcept>

#ifdef KORVENTA_HAVE_XLSXWRITER
#include <xlsxwriter.h>
#endif

namespace korventa::printouts {

#ifdef KORVENTA_HAVE_XLSXWRITER

struct Workbook::Impl {
  lxw_workbook* wb = nullptr;
  lxw_worksheet* ws = nullptr;
  lxw_format* title = nullptr;
  lxw_format* heading = nullptr;
  lxw_format* amount = nullptr;
  bool closed = false;
};

bool Workbook::available() {
  return true;
}

Workbook::Workbook(const std::filesystem::path& path) : impl_(std::make_unique<Impl>()) {
  lxw_workbook_options options = {};
  options.constant_memory = LXW_FALSE;
  impl_->wb = workbook_new_opt(path.string().c_str(), &options);
  if (!impl_->wb) throw std::runtime_error("No se pudo crear el libro " + path.string());
  impl_->title = workbook_add_format(impl_->wb);
  format_set_bold(impl_->title);
  format_set_font_size(impl_->title, 12);
  impl_->heading = workbook_add_format(impl_->wb);
  format_set_bold(impl_->heading);
  format_set_text_wrap(impl_->heading);
  format_set_border(impl_->heading, LXW_BORDER_THIN);
  format_set_align(impl_->heading, LXW_ALIGN_CENTER);
  impl_->amount = workbook_add_format(impl_->wb);
  format_set_num_format(impl_->amount, "#########,###.00");
}

Workbook::~Workbook() {
  // An unfinished workbook is dropped, not written half.
  if (impl_ && impl_->wb && !impl_->closed) lxw_workbook_free(impl_->wb);
}

void Workbook::addSheet(const std::string& name) {
  std::string n = name.substr(0, 31);
  impl_->ws = workbook_add_worksheet(impl_->wb, n.c_str());
  if (!impl_->ws) throw std::runtime_error("No se pudo agregar la hoja " + n);
}

void Workbook::setColumnWidths(int columns) {
  worksheet_set_column(impl_->ws, 0, 0, 38, nullptr);
  if (columns > 1) worksheet_set_column(impl_->ws, 1, static_cast<lxw_col_t>(columns - 1), 16, nullptr);
}

void Workbook::writeTitle(int row, int col, const std::string& text) {
  worksheet_write_string(impl_->ws, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col), text.c_str(),
                         impl_->title);
}

void Workbook::writeHeading(int row, int col, const std::string& text) {
  worksheet_write_string(impl_->ws, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col), text.c_str(),
                         impl_->heading);
}

void Workbook::writeText(int row, int col, const std::string& text) {
  worksheet_write_string(impl_->ws, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col), text.c_str(), nullptr);
}

void Workbook::writeNumber(int row, int col, double value) {
  worksheet_write_number(impl_->ws, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col), value, nullptr);
}

void Workbook::writeAmount(int row, int col, double value) {
  worksheet_write_number(impl_->ws, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col), value, impl_->amount);
}

bool Workbook::close() {
  if (impl_->closed) return true;
  impl_->closed = true;
  if (!impl_->ws) workbook_add_worksheet(impl_->wb, nullptr);  // a workbook needs one sheet
  return workbook_close(impl_->wb) == LXW_NO_ERROR;
}

#else

struct Workbook::Impl {};
bool Workbook::available() {
  return false;
}
Workbook::Workbook(const std::filesystem::path&) {
  throw std::runtime_error("Este programa se construyó sin el generador de libros de cálculo");
}
Workbook::~Workbook() = default;
void Workbook::addSheet(const std::string&) {}
void Workbook::setColumnWidths(int) {}
void Workbook::writeTitle(int, int, const std::string&) {}
void Workbook::writeHeading(int, int, const std::string&) {}
void Workbook::writeText(int, int, const std::string&) {}
void Workbook::writeNumber(int, int, double) {}
void Workbook::writeAmount(int, int, double) {}
bool Workbook::close() {
  return false;
}

#endif

}  // namespace korventa::printouts
