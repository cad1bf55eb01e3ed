#include "import/importer_impl.h"

#include "declaration/sql_support.h"

namespace korventa::import {

std::string Importer::Impl::remDocument(const std::vector<std::string>& f, int& tipDoc) {
  auto& last = lastDocument;
  if (!last.valid || last.type != f[0] || last.number != f[1]) {
    last.tipDoc = 0;
    last.code = document(f, last.tipDoc, "0900", "0901");
    last.type = f[0];
    last.number = f[1];
    last.valid = true;
  }
  tipDoc = last.tipDoc;
  return last.code;
}

std::string Importer::Impl::lineRem(const std::vector<std::string>& f, int category) {
  loadConcepts();
  int tipDoc = 0;
  if (auto c = remDocument(f, tipDoc); !c.empty()) return c;
  const std::string& code = f[2];
  if (code.empty()) return "0934";
  if (code.size() != 4 || !allDigits(code)) return "0924";
  const int number = fourDigitNumber(code);
  if (!conceptOffered[static_cast<std::size_t>(number)]) return "0924";
  Money monto, pagado;
  if (auto c = amountCode(f[3], {}, &monto); !c.empty()) return c;
  if (auto c = amountCode(f[4], {}, &pagado); !c.empty()) return c;
  const Worker* w = worker(tipDoc, f[1], category);
  if (!w) return "0908";
  const int tipo = w->tipoNumber;
  if (!typeTakesConcept(tipo, number, code)) return "0924";
  const int group = number / 100;
  if ((group == 6 || group == 8) && monto.rounded(2) != pagado.rounded(2)) return "0954";
  bool any = !monto.isZero() || !pagado.isZero();
  if (number == 605 && w->domicilio == "2" && any) return "0943";
  if (number == 605 && tipo == 67 && d.periodo > "200806") return "0960";
  if (tipo == 67 && !pagado.isZero() && number != 1000 && number != 2040) return "0959";
  if (number == 603 && w->pension != 3) return "0946";
  if (number == 805 && w->sctrPension != 1) return "0945";
  if (number == 615 && tipo != 89) return "0962";
  if (number == 617 && !determination::isMinerType(tipo)) return "0963";
  if (number == 617 && !(w->pension == 2 || (w->pension >= 21 && w->pension <= 24))) return "0964";
  if (number == 614 && w->pension != 13) return "0961";
  if ((number == 601 || number == 606 || number == 608) && !(w->pension >= 21 && w->pension <= 24)) return "0937";
  if (number == 807 && !senati) return "0944";

  // Actualizotemp_concep: the person's row of the concept takes the amounts; a concept typed
  // twice in the file keeps the last amounts (the row is unique per person and concept).
  // An amount already in its picture (nearly all of a large file) is kept as written.
  auto pictured = [](const std::string& text, Money value) {
    const char* picture = "######0.00";
    return declaration::formatsToItself(text, picture) ? text : vbFormat(value, picture);
  };
  std::string m = pictured(f[3], monto), p = pictured(f[4], pagado);
  loadConceptRows(category);
  std::uint64_t key = conceptKey(w->key.correl_a, category, number);
  std::int64_t* row = conceptRows.find(key);
  bool updated = false;
  const bool kept = row && *row < 0;  // kept in memory, not written
  if (row && !kept) {
    auto& up = db.prepared("UPDATE TMPF601CONCEP SET monto = ?, monto_pag = ? WHERE rowid = ?");
    up.bind(1, m);
    up.bind(2, p);
    up.bind(3, *row);
    updated = up.exec() == 1;
  }
  if (kept || (!updated && deferRows)) {
    keepNewRow(*w, key, row, code, std::move(m), std::move(p));
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
void Importer::Impl::keepNewRow(const Worker& w, std::uint64_t key, std::int64_t* row, const std::string& code,
                                std::string monto, std::string montoPag) {
  if (row && *row < 0) {
    auto i = static_cast<std::size_t>(-1 - *row);
    if (i < newRowsAtStart) newRowsUndo.push_back({i, newRows[i].monto, newRows[i].monto_pag});
    newRows[i].monto = std::move(monto);
    newRows[i].monto_pag = std::move(montoPag);
    return;
  }
  auto& kept = newRows.emplace_back();  // filled in place: its texts are copied once
  kept.key = w.key;
  kept.codigo = code;
  kept.monto = std::move(monto);
  kept.monto_pag = std::move(montoPag);
  const auto place = -static_cast<std::int64_t>(newRows.size());
  if (row)
    *row = place;
  else
    conceptRows.emplace(key, place);
}

}  // namespace korventa::import
