#include "import/importer_impl.h"

namespace korventa::import {

bool Importer::Impl::overlaps(const Worker& w, const Date& start, const Date& end) {
  auto& st = db.prepared(
      "SELECT fecha_ini, fecha_fin FROM TMPF601DIAS_NOLAB WHERE correl_a = ? AND tip_doc_a = ? AND doc_id_a = ?");
  st.bind(1, static_cast<std::int64_t>(w.key.correl_a));
  st.bind(2, w.key.tip_doc_a);
  st.bind(3, w.key.doc_id_a);
  std::string a = start.yyyymmdd(), b = end.yyyymmdd();
  bool hit = false;
  while (st.executeStep()) {
    std::string oa = dmyToYmd(text::trim(st.getColumn(0).getString()));
    std::string ob = dmyToYmd(text::trim(st.getColumn(1).getString()));
    if (oa.empty() || ob.empty()) continue;
    if (a <= ob && b >= oa) hit = true;
  }
  st.reset();
  return hit;
}

bool Importer::Impl::cittTaken(const Worker& w, const std::string& citt) {
  return db.exists(
             "SELECT 1 FROM TMPF600SUBSID WHERE correl_a = ? AND tip_doc_a = ? AND doc_id_a = ? AND TRIM(num_citt) = ?",
             {w.key.correl_a, w.key.tip_doc_a, w.key.doc_id_a, citt}) ||
         db.exists(
             "SELECT 1 FROM TMPF601DIAS_NOLAB WHERE correl_a = ? AND tip_doc_a = ? AND doc_id_a = ? AND "
             "TRIM(num_citt) = ?",
             {w.key.correl_a, w.key.tip_doc_a, w.key.doc_id_a, citt});
}

std::string Importer::Impl::lineSuspension(const std::vector<std::string>& f, bool sub) {
  loadLocals();
  int tipDoc = 0;
  if (auto c = document(f, tipDoc, "0900", "0901"); !c.empty()) return c;
  std::string tipo = allDigits(f[2]) && f[2].size() <= 2 ? two(f[2]) : std::string();
  if (tipo.empty() || !(sub ? subsidised : notSubsidised).count(tipo)) return "0912";
  std::string citt;
  std::size_t dateField = 3;
  if (sub) {
    citt = f[3];
    if (citt.empty()) return "0916";
    if (citt.find_first_not_of('0') == std::string::npos) return "0920";
    if (citt.size() > 20) return "0905";
    for (char32_t ch : text::codepoints(citt))
      if (!ServiciosComunes::teclaCertificado(static_cast<int>(ch))) return "0905";
    dateField = 4;
  }
  auto start = importDate(f[dateField]);
  if (!start) return "0903";
  auto end = importDate(f[dateField + 1]);
  if (!end) return "0904";
  if (*end < *start) return "0907";
  if (sub) {
    if (end->period() > d.periodo) return "0941";
  } else if (start->period() > d.periodo || end->period() > d.periodo) {
    return "0940";
  }
  if (end->period() < d.periodo) return "0939";
  const Worker* w = worker(tipDoc, f[1], kWorker);
  if (!w) return "0908";
  if ((sub ? noSubsidyType(w->tipo) : noWorkDataType(w->tipo)) || inactiveSituation(w->situac)) return "skip";
  int diasCitt = end->serial() - start->serial() + 1;
  if (sub && cittTaken(*w, citt)) return "0922";
  if (overlaps(*w, *start, *end)) return "0938";
  if (sub && diasCitt > 365) return "0951";

  std::string ini = start->dmy(), fin = end->dmy();
  std::string days = std::to_string(detail::CalcularDiasMes(*start, *end, d.periodo));
  db.run(
      "INSERT INTO TMPF601DIAS_NOLAB (tip_doc_d, doc_id_d, correl_a, tip_doc_a, doc_id_a, periodo, formulario, "
      "tipo_suspen, fecha_ini, fecha_fin, num_citt, dias_sub, dias_citt, dias_no_lab) "
      "VALUES (6, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
      {d.ruc, w->key.correl_a, w->key.tip_doc_a, w->key.doc_id_a, d.periodo, d.formulario, tipo, ini, fin, citt,
       sub ? days : std::string(), sub ? std::to_string(diasCitt) : std::string(), sub ? std::string() : days});
  if (sub)
    db.run(
        "INSERT INTO TMPF600SUBSID (tip_doc_d, doc_id_d, periodo, formulario, correl_a, tip_doc_a, doc_id_a, "
        "num_citt, dias_sub, dias_citt, fecha_SD, fecha_SH, tipo_suspen, fecha_ini, fecha_fin) "
        "VALUES (6, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        {d.ruc, d.periodo, d.formulario, w->key.correl_a, w->key.tip_doc_a, w->key.doc_id_a, citt, days,
         std::to_string(diasCitt), ini, fin, tipo, ini, fin});
  detail::writeDayTotal(db, w->key, sub ? detail::SuspensionKind::Subsidised : detail::SuspensionKind::NotSubsidised);
  affected(w->key);
  return {};
}

}  // namespace korventa::import
