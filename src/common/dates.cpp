#include "common/dates.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace korventa {
namespace {

bool allDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

int toInt(std::string_view s) {
  int v = 0;
  for (char c : s) v = v * 10 + (c - '0');
  return v;
}

std::string pad(int v, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", width, v);
  return buf;
}

// v (0 <= v < 10^width) as `width` digits at p.
void putDigits(char* p, int v, int width) {
  for (int i = width - 1; i >= 0; --i, v /= 10) p[i] = static_cast<char>('0' + v % 10);
}

std::optional<Date> g_fixedToday;

}  // namespace

bool isRealDate(int y, int m, int d) {
  if (y < 1 || m < 1 || m > 12 || d < 1) return false;
  static const int mdays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int dim = mdays[m - 1];
  if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) dim = 29;
  return d <= dim;
}

std::optional<Date> Date::parseDmy(std::string_view t) {
  std::size_t a = t.find('/');
  if (a == std::string_view::npos) return std::nullopt;
  std::size_t b = t.find('/', a + 1);
  if (b == std::string_view::npos) return std::nullopt;
  auto d = t.substr(0, a), m = t.substr(a + 1, b - a - 1), y = t.substr(b + 1);
  if (!allDigits(d) || !allDigits(m) || !allDigits(y) || d.size() > 2 || m.size() > 2 || y.size() != 4)
    return std::nullopt;
  Date r{toInt(y), toInt(m), toInt(d)};
  if (!isRealDate(r.year, r.month, r.day)) return std::nullopt;
  return r;
}

std::optional<Date> Date::parseIso(std::string_view t) {
  Date r;
  if (t.size() == 10 && t[4] == '-' && t[7] == '-' && allDigits(t.substr(0, 4)) && allDigits(t.substr(5, 2)) &&
      allDigits(t.substr(8, 2))) {
    r = {toInt(t.substr(0, 4)), toInt(t.substr(5, 2)), toInt(t.substr(8, 2))};
  } else if (t.size() == 8 && allDigits(t)) {
    r = {toInt(t.substr(0, 4)), toInt(t.substr(4, 2)), toInt(t.substr(6, 2))};
  } else {
    return std::nullopt;
  }
  if (!isRealDate(r.year, r.month, r.day)) return std::nullopt;
  return r;
}

std::optional<Date> Date::parseAny(std::string_view t) {
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  // Registry dates may carry a time part ("2012-05-01 00:00:00").
  if (t.size() > 10 && t[4] == '-' && t[10] == ' ') t = t.substr(0, 10);
  if (auto d = parseDmy(t)) return d;
  return parseIso(t);
}

std::string Date::dmy() const {
  // Every date read from text fits the picture: written digit by digit, without formatting
  // (registry dates are turned into it by the ten thousand when a declaration opens).
  if (day >= 0 && day <= 99 && month >= 0 && month <= 99 && year >= 0 && year <= 9999) {
    std::string out = "dd/mm/yyyy";
    putDigits(&out[0], day, 2);
    putDigits(&out[3], month, 2);
    putDigits(&out[6], year, 4);
    return out;
  }
  return pad(day, 2) + "/" + pad(month, 2) + "/" + pad(year, 4);
}
std::string Date::iso() const {
  return pad(year, 4) + "-" + pad(month, 2) + "-" + pad(day, 2);
}
std::string Date::yyyymmdd() const {
  return pad(year, 4) + pad(month, 2) + pad(day, 2);
}
std::string Date::period() const {
  return pad(year, 4) + pad(month, 2);
}

int Date::serial() const {
  using namespace std::chrono;
  return sys_days(std::chrono::year(year) / std::chrono::month(month) / std::chrono::day(day))
      .time_since_epoch()
      .count();
}

Date Date::fromSerial(int s) {
  using namespace std::chrono;
  year_month_day ymd{sys_days(days(s))};
  return Date{int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day()))};
}

int daysInMonth(int year, int month) {
  switch (month) {
    case 4:
    case 6:
    case 9:
    case 11:
      return 30;
    case 2:
      return year % 4 == 0 ? 29 : 28;
    default:
      return 31;
  }
}

std::string DiasDelMes(std::string_view month, std::string_view year) {
  int y = allDigits(year) ? toInt(year) : 0;
  int m = allDigits(month) ? toInt(month) : 0;
  return std::to_string(daysInMonth(y, m));
}

std::string dmyToYmd(std::string_view dmy) {
  auto d = Date::parseDmy(dmy);
  return d ? d->yyyymmdd() : std::string();
}

std::string ymdToDmy(std::string_view ymd) {
  if (ymd.size() != 8 || !allDigits(ymd)) return {};
  auto d = Date::parseIso(ymd);
  return d ? d->dmy() : std::string();
}

bool isPeriod(std::string_view p) {
  if (p.size() != 6 || !allDigits(p)) return false;
  int m = toInt(p.substr(4, 2));
  return m >= 1 && m <= 12;
}

std::string addMonths(std::string_view p, int months) {
  if (p.size() != 6 || !allDigits(p)) return {};
  int y = toInt(p.substr(0, 4)), m = toInt(p.substr(4, 2));
  int total = y * 12 + (m - 1) + months;
  return pad(total / 12, 4) + pad(total % 12 + 1, 2);
}

std::string periodToDisplay(std::string_view p) {
  if (p.size() != 6) return std::string(p);
  return std::string(p.substr(4, 2)) + "/" + std::string(p.substr(0, 4));
}

std::string periodFromDisplay(std::string_view t) {
  if (t.size() != 7 || t[2] != '/' || !allDigits(t.substr(0, 2)) || !allDigits(t.substr(3, 4))) return {};
  return std::string(t.substr(3, 4)) + std::string(t.substr(0, 2));
}

std::string periodMonth(std::string_view p) {
  return p.size() >= 6 ? std::string(p.substr(4, 2)) : std::string();
}
std::string periodYear(std::string_view p) {
  return p.size() >= 4 ? std::string(p.substr(0, 4)) : std::string();
}

std::string monthOf(std::string_view dateText) {
  auto d = Date::parseAny(dateText);
  return d ? d->period() : std::string();
}

Date Clock::today() {
  if (g_fixedToday) return *g_fixedToday;
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return Date{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

void Clock::setFixed(std::optional<Date> date) {
  g_fixedToday = date;
}

}  // namespace korventa
