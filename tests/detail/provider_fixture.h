#pragma once
// The demo industrial declarant with a declaration open for fourth-category providers and
// formative-modality trainees: vouchers written through the voucher dialog's controller and the
// trainee DIANA in the working set, as the load leaves her.
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "detail/days_fixture.h"
#include "detail/trainee_detail.h"
#include "detail/voucher_entry.h"

namespace korventa::detail {

using test::rowTexts;

inline constexpr const char* kRuc = "20503987610";
inline const PersonKey kPatricia{17, 6, "10411223341", kProvider};  // GUTIÉRREZ, domiciled
inline const PersonKey kDiana{23, 1, "72345678", kTrainee};

// Types every field of the voucher dialog.
inline void fill(VoucherEntry& v, const std::string& kind, const std::string& series, const std::string& number,
                 const std::string& emi, const std::string& ini, const std::string& fin, const std::string& pago,
                 const std::string& amount) {
  v.setNumber(number);
  v.setKind(kind);  // kinds without series get the next number of series "XXX" when none was typed
  if (kind == "R" || kind == "N") v.setSeries(series);
  v.setIssueDate(emi);
  v.setStartDate(ini);
  v.setEndDate(fin);
  v.setPaymentDate(pago);
  v.setAmount(amount);
}

struct ProviderFixture {
  test::TestDb t{true};
  model::OpenDeclaration decl;
  explicit ProviderFixture(const std::string& periodo = "201209") {
    decl.ruc = kRuc;
    decl.periodo = periodo;
  }
  RecordingMessenger& m() { return t.messenger(); }

  VoucherContext context(bool headerIsNew = false, std::vector<std::string> before = {}, std::string dom = "1",
                         const PersonKey& person = kPatricia) {
    VoucherContext c;
    c.decl = &decl;
    c.person = person;
    c.identity.desPat = "GUTIÉRREZ";
    c.identity.desNo1 = "PATRICIA";
    c.identity.indDomicilio = std::move(dom);
    c.headerIsNew = headerIsNew;
    c.kindsBefore = std::move(before);
    return c;
  }

  // A voucher of September 2012, series 0001 when its kind has one.
  void addVoucher(const VoucherContext& ctx, const std::string& kind, const std::string& number,
                  const std::string& amount) {
    VoucherEntry v(t.session(), ctx);
    fill(v, kind, "0001", number, "10/09/2012", "01/09/2012", "05/09/2012", "20/09/2012", amount);
    ASSERT_TRUE(v.accept()) << m().last();
  }

  void addTrainee() {
    t.db().run(
        "INSERT INTO TMPF601MFCAB (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, tip_doc_a, "
        "doc_id_a, APELLIDO_P, APELLIDO_M, NOMBRE_1) VALUES (6, ?, ?, '0601', 23, 5, 1, '72345678', "
        "'PÉREZ', 'CAMPOS', 'DIANA')",
        {kRuc, decl.periodo});
  }

  // Marks exactly the establishments of the codes.
  static void select(TraineeDetail& d, std::initializer_list<std::int64_t> codes) {
    for (std::size_t i = 0; i < d.establishments().size(); ++i)
      d.setSelected(i, std::find(codes.begin(), codes.end(), d.establishments()[i].cod_est) != codes.end());
  }
};

}  // namespace korventa::detail
