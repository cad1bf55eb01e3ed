#include "import/importer_impl.h"

namespace korventa::import {

std::string Importer::Impl::lineJor(const std::vector<std::string>& f) {
  int tipDoc = 0;
  if (auto c = document(f, tipDoc, "0900", "0901"); !c.empty()) return c;
  if (auto c = workTimeCode({f[2], f[3], f[4], f[5]}); !c.empty()) return c;
  const Worker* w = worker(tipDoc, f[1], kWorker);
  if (!w) return "0908";
  if (noWorkDataType(w->tipo) || inactiveSituation(w->situac)) return "skip";
  auto& up = db.prepared("UPDATE TEMP1_F601 SET horas_nor = ?, horas_sob = ? WHERE rowid = ?");
  up.bind(1, detail::HorasDecimal(f[2], f[3]));
  up.bind(2, detail::HorasDecimal(f[4], f[5]));
  up.bind(3, static_cast<std::int64_t>(w->rowid));
  up.exec();
  affected(w->key);
  return {};
}

}  // namespace korventa::import
