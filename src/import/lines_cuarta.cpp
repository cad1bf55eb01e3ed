#include "import/importer_impl.h"

namespace korventa::import {

void Importer::Impl::loadReceipts() {
  if (receiptsLoaded) return;
  receiptsLoaded = true;
  auto add = [&](const std::vector<data::Row>& rows) {
    for (const auto& r : rows)
      receipts[receiptKey(static_cast<int>(r.integer(0)), text::trim(r.text(1)), text::trim(r.text(2)),
                          text::trim(r.text(3)))]
          .push_back(text::trim(r.text(4)));
  };
  add(db.rows("SELECT tip_doc_ret, num_doc_ret, num_ser, num_rec, fec_emi FROM TMPF621RDDET WHERE cod_cat_tra = 3"));
  add(db.rows("SELECT tip_doc_a, doc_id_a, num_ser, num_rec, fec_emi FROM TMPF601RDDET WHERE cod_cat_tra = 3"));
  add(
      db.rows("SELECT tip_doc_ret, num_doc_ret, num_ser, num_rec, fec_emi FROM F621RDDET WHERE tip_doc_d = 6 AND "
              "doc_id_d = ? AND periodo = ? AND formulario = ? AND cod_cat_tra = 3",
              {d.ruc, d.periodo, d.formulario}));
}

bool Importer::Impl::receiptExists(const Registered& p, const std::string& ser, const std::string& num,
                                   const std::string& emi, bool& otherDate) {
  loadReceipts();
  otherDate = false;
  auto it = receipts.find(receiptKey(p.key.tip_doc_a, p.key.doc_id_a, ser, num));
  if (it == receipts.end()) return false;
  for (const auto& e : it->second)
    if (e != emi) otherDate = true;
  return true;
}

void Importer::Impl::writeProviderHeader(const Registered& p, const std::string& retencion, int category) {
  if (db.exists("SELECT 1 FROM TMPF601RDCAB WHERE tip_doc_a = ? AND doc_id_a = ? AND cod_cat_tra = ? AND "
                "tip_retencion = ?",
                {p.key.tip_doc_a, p.key.doc_id_a, category, retencion}))
    return;
  db.run(
      "INSERT INTO TMPF601RDCAB (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, tip_retencion, "
      "tip_doc_a, doc_id_a, Des_Pat, Des_Mat, Des_No1, ind_domicilio, ruc) VALUES (6, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
      "?, ?, ?, ?)",
      {d.ruc, d.periodo, d.formulario, p.key.correl_a, category, retencion, p.key.tip_doc_a, p.key.doc_id_a,
       p.apellidoP, p.apellidoM, p.nombre, p.domicilio, p.rucCta});
}

std::string Importer::Impl::lineCuarta(const std::vector<std::string>& f) {
  loadRegistered(kProvider);
  int tipDoc = 0;
  if (auto c = document(f, tipDoc, "0009", "0010", "0009", "0010"); !c.empty()) return c;
  auto it = registered.find(personIndex(tipDoc, f[1], kProvider));
  if (it == registered.end()) return "1125";
  const Registered& p = it->second;
  if (p.domicilio == "2") {
    auto t = docTypes.find(tipDoc);
    if (t == docTypes.end() || !t->second.allowedIn(62)) return "0938";
  }
  std::string tipo = text::upper(f[2]);
  if (tipo != "R" && tipo != "N" && tipo != "D" && tipo != "O") return "0934";
  std::string ser = text::upper(f[3]), num = f[4];
  if (tipo == "R" || tipo == "N") {
    if (ser.empty()) return "0789";
    if (ser.size() > 4) return "0222";
    for (char c : ser)
      if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))) return "0221";
  } else {
    ser = "XXX";
  }
  if (num.empty()) return "0532";
  if (tipo == "R" || tipo == "N") {
    if (num.size() > 8) return "0222";
    if (!allDigits(num)) return "0224";
  } else if (num.size() > 20) {
    return "0222";
  }
  if (f[5].empty()) return "0789";
  AmountCodes ac{"0789", "0850", "0850", "0862", "0862", "0861", "0850", 9, 12};
  if (auto c = amountCode(f[5], ac); !c.empty()) return c;
  Money monto = *Money::parse(f[5]);
  if (!(monto > Money())) return "0861";
  auto emi = importDate(f[6]);
  if (!emi) return "0852";
  auto pago = importDate(f[7]);
  if (!pago) return "0935";
  if (pago->period() > d.periodo) return "0936";
  if (*emi > *pago) return "0941";
  bool otherDate = false;
  if (receiptExists(p, ser, num, emi->dmy(), otherDate)) return otherDate ? "0939" : "0940";

  // Retention: 24 % for a non-domiciled provider, 10 % for a domiciled one with the indicator.
  std::string ind = f[8];
  std::string por = "0";
  if (ind == "1")
    por = p.domicilio != "1" ? "24" : "10";
  else if (p.domicilio == "2")
    por = "24";
  Money rta = por == "0" ? Money() : monto.percent(Money::fromUnits(std::stoll(por)));
  std::string mtoRec = vbFormat(monto, "########0.00"), mtoRta = vbFormat(rta, "######0.00");

  writeProviderHeader(p, tipo, kProvider);
  data::Params row{d.ruc, d.periodo, d.formulario, p.key.correl_a, kProvider,   p.key.doc_id_a, p.key.tip_doc_a,
                   tipo,  ser,       num,          emi->dmy(),     pago->dmy(), mtoRec,         ind == "1" ? "1" : "0",
                   por,   mtoRta};
  db.run(
      "INSERT INTO TMPF621RDDET (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, num_doc_ret, "
      "tip_doc_ret, tip_retencion, num_ser, num_rec, fec_emi, fec_pago, mto_rec, ind_rta, por_rta, mto_rta, "
      "ind_ies, por_ies, mto_ies, num_for) VALUES (6, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '0', '0', "
      "'0.00', '')",
      row);
  // The receipt is also one of the provider's vouchers, which the declaration sums.
  db.run(
      "INSERT INTO TMPF601RDDET (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, doc_id_a, "
      "tip_doc_a, tip_retencion, num_ser, num_rec, fec_emi, fec_pago, mto_rec, ind_rta, por_rta, mto_rta, "
      "ind_ies, por_ies, mto_ies, num_for) VALUES (6, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '0', '0', "
      "'0.00', '')",
      row);
  receipts[receiptKey(p.key.tip_doc_a, p.key.doc_id_a, ser, num)].push_back(emi->dmy());
  if (providersSeen.insert(personIndex(p.key.tip_doc_a, p.key.doc_id_a, kProvider)).second) ++r->providers;
  return {};
}

}  // namespace korventa::import
