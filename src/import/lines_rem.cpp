#include "import/importer_impl.h"

#include "declaration/sql_support.h"

namespace korventa::import {

std::string Importer::Impl::lineRem(const std::vector<std::string>& f, int category) {
  loadConcepts();
  int tipDoc = 0;
  if (auto c = document(f, tipDoc, "0900", "0901"); !c.empty()) return c;
  const std::string& code = f[2];
  if (code.empty()) return "0934";
  if (code.size() != 4 || !allDigits(code) || !conceptSet.count(code)) return "0924";
  if (auto c = amountCode(f[3]); !c.empty()) return c;
  if (auto c = amountCode(f[4]); !c.empty()) return c;
  Money monto = *Money::parse(f[3]), pagado = *Money::parse(f[4]);
  const Worker* w = worker(tipDoc, f[1], category);
  if (!w) return "0908";
  int tipo = determination::codeNumber(w->tipo);
  if (!conceptTypes.ExisteTipoConcepto(tipo, code, d.periodo)) return "0924";
  std::string_view group = std::string_view(code).substr(0, 2);
  if ((group == "06" || group == "08") && monto.rounded(2) != pagado.rounded(2)) return "0954";
  bool any = !monto.isZero() || !pagado.isZero();
  if (code == "0605" && w->domicilio == "2" && any) return "0943";
  if (code == "0605" && tipo == 67 && d.periodo > "200806") return "0960";
  if (tipo == 67 && !pagado.isZero() && code != "1000" && code != "2040") return "0959";
  if (code == "0603" && w->pension != 3) return "0946";
  if (code == "0805" && w->sctrPension != 1) return "0945";
  if (code == "0615" && tipo != 89) return "0962";
  if (code == "0617" && !determination::isMinerType(tipo)) return "0963";
  if (code == "0617" && !(w->pension == 2 || (w->pension >= 21 && w->pension <= 24))) return "0964";
  if (code == "0614" && w->pension != 13) return "0961";
  if ((code == "0601" || code == "0606" || code == "0608") && !(w->pension >= 21 && w->pension <= 24)) return "0937";
  if (code == "0807" && !senati) return "0944";

  // Actualizotemp_concep: the person's row of the concept takes the amounts; a concept typed
  // twice in the file keeps the last amounts (the row is unique per person and concept).
  // An amount already in its picture (nearly all of a large file) is kept as written.
  auto pictured = [](const std::string& text, Money value) {
    const char* picture = "######0.00";
    return declaration::formatsToItself(text, picture) ? text : vbFormat(value, picture);
  };
  std::string m = pictured(f[3], monto), p = pictured(f[4], pagado);
  loadConceptRows(category);
  std::uint64_t key = conceptKey(w->key.correl_a, category, code);
  auto row = conceptRows.find(key);
  bool updated = false;
  const bool kept = row != conceptRows.end() && row->second < 0;  // kept in memory, not written
  if (row != conceptRows.end() && !kept) {
    auto& up = db.prepared("UPDATE TMPF601CONCEP SET monto = ?, monto_pag = ? WHERE rowid = ?");
    up.bind(1, m);
    up.bind(2, p);
    up.bind(3, static_cast<std::int64_t>(row->second));
    updated = up.exec() == 1;
  }
  if (kept || (!updated && deferRows)) {
    keepNewRow(*w, category, code, std::move(m), std::move(p));
  } else if (!updated) {
    auto& ins = db.prepared(
        "INSERT INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, codigo, cod_cat_tra, descrip, monto, monto_pag, "
        "base_calculo) VALUES (?, ?, ?, ?, ?, ?, ?, ?, '')");
    ins.bind(1, w->key.tip_doc_a);
    ins.bind(2, w->key.doc_id_a);
    ins.bind(3, static_cast<std::int64_t>(w->key.correl_a));
    ins.bind(4, code);
    ins.bind(5, w->key.cod_cat_tra);
    auto n = conceptNames.find(code);
    ins.bind(6, n == conceptNames.end() ? std::string() : n->second);
    ins.bind(7, m);
    ins.bind(8, p);
    ins.exec();
    conceptRows[key] = db.lastInsertRowid();
  }
  affected(w->key);
  return {};
}

// A concept row the computation will write: a new one, or the amounts of one kept before.
void Importer::Impl::keepNewRow(const Worker& w, int category, const std::string& code, std::string monto,
                                std::string montoPag) {
  std::uint64_t key = conceptKey(w.key.correl_a, category, code);
  auto row = conceptRows.find(key);
  if (row != conceptRows.end() && row->second < 0) {
    auto i = static_cast<std::size_t>(-1 - row->second);
    if (i < newRowsAtStart) newRowsUndo.push_back({i, newRows[i].monto, newRows[i].monto_pag});
    newRows[i].monto = std::move(monto);
    newRows[i].monto_pag = std::move(montoPag);
    return;
  }
  newRows.push_back({w.key, code, std::move(monto), std::move(montoPag)});
  conceptRows[key] = -static_cast<std::int64_t>(newRows.size());
}

}  // namespace korventa::import
