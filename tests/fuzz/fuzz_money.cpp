// Amounts: Money's parse, the VB-style picture formats of the stored texts and screens and the
// amount rules of the import lines. The input is an amount text, then (after a NUL) a picture
// pattern of the fuzzer's own.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/money.h"
#include "common/vb_format.h"
#include "fuzz_support.h"
#include "import/import_checks.h"

namespace korventa::fuzz {
namespace {

// The pictures the program formats amounts with.
const char* const kPatterns[] = {
    "######0.00", "########0.00", "#,###,###,##0", "#,###,###,##0.00", "##,###,###,##0.00;(#,###,###,##0.00)",
    "0000",       "##0.00",       "###,###,##0"};

std::string withoutCommas(std::string s) {
  std::erase(s, ',');
  return s;
}

void checkParsed(std::string_view text, Money m) {
  // Four decimals are kept: the plain text with four decimals reads back as the same amount.
  std::string four = m.toText(4);
  auto again = Money::parse(four);
  FUZZ_CHECK(again && *again == m, std::string(text) + " -> " + four);
  // The stored-text picture rounds to cents and reads back as the rounded amount.
  std::string stored = vbFormat(m, "######0.00");
  auto cents = Money::parse(stored);
  FUZZ_CHECK(cents && *cents == m.rounded(2), std::string(text) + " -> " + stored);
  FUZZ_CHECK(vbFormat(*cents, "######0.00") == stored, stored);
  FUZZ_CHECK(stored == m.toText(2), stored + " / " + m.toText(2));
  // Thousands separators group the same digits.
  std::string grouped = vbFormat(m, "#,###,###,##0.00");
  auto ungrouped = Money::parse(withoutCommas(grouped));
  FUZZ_CHECK(ungrouped && *ungrouped == m.rounded(2), grouped);
  for (const char* p : kPatterns) (void)vbFormat(m, p);
}

}  // namespace
}  // namespace korventa::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korventa;
  using namespace korventa::fuzz;
  std::string_view in = bytes(data, size);
  std::string_view text = takePart(in);
  std::string_view pattern = in;

  auto m = Money::parse(text);
  FUZZ_CHECK(Money::value(text) == (m ? *m : Money()), std::string(text));
  if (m) {
    checkParsed(text, *m);
    (void)vbFormat(*m, pattern);
  }

  // An amount of an import line that passes the rules is an amount of at most seven integer
  // digits and ten characters, not negative, and re-formats to itself.
  if (import::amountCode(text).empty()) {
    FUZZ_CHECK(m && !m->isNegative() && text.size() <= 10, std::string(text));
    std::string stored = vbFormat(*m, "######0.00");
    FUZZ_CHECK(vbFormat(*Money::parse(stored), "######0.00") == stored, stored);
    FUZZ_CHECK(stored.size() <= 10, stored);
  }
  if (import::rateCode(text, {}).empty()) FUZZ_CHECK(m && !m->isNegative(), std::string(text));
  return 0;
}
