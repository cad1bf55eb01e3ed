#include "data/numero_control.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "common/text.h"

namespace korventa::data {
namespace {

int lastThree(long double sum) {
  long double r = std::fabs(sum);
  r = std::floor(r + 0.5L);
  long double m = std::fmod(r, 1000.0L);
  return static_cast<int>(m);
}

std::string control(const std::vector<std::string>& f, int n) {
  long double a = 0;
  long double b = 0;
  int count = static_cast<int>(f.size());
  for (int i = 0; i < count && i < n; ++i) {
    if (isNumericText(f[i])) a += std::strtold(text::trim(f[i]).c_str(), nullptr);
  }
  for (int i = n; i < count - 1; ++i) {
    auto cps = text::codepoints(f[i]);
    for (std::size_t k = 0; k < cps.size(); ++k) b += static_cast<long double>(text::ansiCode(cps[k])) * (k + 1);
  }
  char buf[8];
  std::snprintf(buf, sizeof buf, "%03d%03d", lastThree(a), lastThree(b));
  return buf;
}

}  // namespace

bool isNumericText(std::string_view s) {
  std::size_t i = 0, e = s.size();
  while (i < e && s[i] == ' ') ++i;
  while (e > i && s[e - 1] == ' ') --e;
  if (i < e && (s[i] == '+' || s[i] == '-')) ++i;
  bool digits = false, point = false;
  for (; i < e; ++i) {
    char c = s[i];
    if (c >= '0' && c <= '9')
      digits = true;
    else if (c == '.' && !point)
      point = true;
    else
      break;
  }
  if (!digits) return false;
  if (i < e && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < e && (s[i] == '+' || s[i] == '-')) ++i;
    bool expDigits = false;
    while (i < e && s[i] >= '0' && s[i] <= '9') {
      ++i;
      expDigits = true;
    }
    if (!expDigits) return false;
  }
  return i == e;
}

std::string NumeroControlTexts(const std::vector<std::string>& fields, int n) {
  std::vector<std::string> f;
  f.reserve(fields.size());
  for (const auto& s : fields) f.push_back(text::trim(s));
  return control(f, n);
}

std::string NumeroControl(const std::vector<Value>& fields, int n) {
  std::vector<std::string> f;
  f.reserve(fields.size());
  for (const auto& v : fields) f.push_back(text::trim(valueText(v)));
  return control(f, n);
}

std::string NumeroControlLinea(std::string_view line, int n) {
  auto parts = text::split(line, '|');
  if (!parts.empty() && parts.back().empty()) parts.pop_back();
  return NumeroControlTexts(parts, n);
}

void recomputeControlNumbers(Database& db, std::string_view table, int n, std::string_view where,
                             const Params& params) {
  std::string sql = "SELECT rowid, * FROM " + std::string(table);
  if (!where.empty()) sql += " WHERE " + std::string(where);
  auto cols = db.columns(table);
  if (cols.empty()) throw DbError(1, 1, "no such table: " + std::string(table));  // SQLITE_ERROR
  std::string upd = "UPDATE " + std::string(table) + " SET " + cols.back() + " = ? WHERE rowid = ?";
  auto rows = db.rows(sql, params);
  auto& st = db.prepared(upd);
  for (const auto& r : rows) {
    std::vector<Value> vals(r.values().begin() + 1, r.values().end());
    st.reset();
    st.clearBindings();
    st.bind(1, NumeroControl(vals, n));
    st.bind(2, static_cast<int64_t>(r.integer(0)));
    try {
      st.exec();
    } catch (const SQLite::Exception& e) {
      rethrow(e);
    }
  }
}

}  // namespace korventa::data
