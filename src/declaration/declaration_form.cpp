#include "declaration/declaration_form.h"

#include "common/dates.h"
#include "common/list_form.h"
#include "common/text.h"
#include "data/db_errors.h"
#include "declaration/concurrency.h"
#include "declaration/tables.h"
#include "declaration/working_set.h"
#include "determination/declaration_computation.h"
#include "model/receipt_sums.h"

namespace korventa::declaration {

void Adicionar_CON_AFEC(Session& s, const std::string& ruc) {
  auto& db = s.database();
  data::Transaction tx(db);
  std::string regimen = data::IndicadorDeclarante(db, ruc, "Ind_RegimenLab");
  if (regimen == "1" || regimen == "3")
    for (const char* c : {"0406", "0407", "0312", "0313"}) data::AseguraConcepto(db, ruc, c);
  else if (regimen == "2")
    data::AseguraConcepto(db, ruc, "2041");
  for (const char* c : {"0616", "0617"}) data::AseguraConcepto(db, ruc, c);
  const bool general = ruc == s.generalDeclarant;
  long long have = general ? db.integer(
                                 "SELECT count(*) FROM CON_AFEC WHERE Tip_Doc_d = 6 AND Doc_id_d = ? AND "
                                 "cod_concepto = '0614'",
                                 {ruc})
                           : db.integer(
                                 "SELECT count(*) FROM CON_AFEC WHERE Tip_Doc_d = 6 AND Doc_id_d = ? AND "
                                 "cod_concepto IN ('0612', '0810', '0811')",
                                 {ruc});
  if (have < 2) {
    db.run(
        "INSERT INTO CON_AFEC (Tip_Doc_d, Doc_id_d, cod_concepto, ind_origen) SELECT 6, ?1, c.Codigo, c.ind_origen "
        "FROM CONCEPTOS_REM c WHERE c.indica = '1' AND (c.Codigo < '1000' OR c.Codigo >= '2000') AND "
        "(c.Codigo <> '0614' OR ?2 = 1) AND NOT EXISTS (SELECT 1 FROM CON_AFEC a WHERE a.Tip_Doc_d = 6 AND "
        "a.Doc_id_d = ?1 AND a.cod_concepto = c.Codigo)",
        {ruc, general});
  }
  tx.commit();
}

bool ValidaPeriodoDeclaracion(Messenger& m, const std::string& text) {
  if (text.find('_') != std::string::npos || text.size() != 7) return true;
  std::string p = text.substr(3, 4) + text.substr(0, 2);
  std::string now = Clock::today().yyyymmdd().substr(0, 6);
  if (p < "200801" || p > now) {
    m.critical("El período no es válido.");
    return false;
  }
  if (p >= "201301") {
    m.critical(
        "Este ZEL solo puede ser utilizado hasta el período 12/2012, para períodos posteriores utilice el ZEL "
        "VARNO");
    return false;
  }
  if (!isPeriod(p)) {
    m.critical("El período no es válido.");
    return false;
  }
  return true;
}

DeclarationForm::DeclarationForm(Session& session, bool markOpen) : s_(session), markOpen_(markOpen) {}

DeclarationForm::~DeclarationForm() {
  release();
}

bool DeclarationForm::hold(const std::string& ruc, const std::string& periodo) {
  release();
  if (!markOpen_) return true;
  try {
    data::holdDeclaration(s_, ruc, periodo);
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(s_.msg(), e);
    return false;
  }
  held_ = {ruc, periodo};
  return true;
}

void DeclarationForm::release() {
  if (!held_) return;
  auto [ruc, periodo] = *held_;
  held_.reset();
  try {
    data::releaseDeclaration(s_, ruc, periodo);
  } catch (const std::exception&) {
    // A mark left behind (the file was busy) is removed by the next renewal, or counts no more
    // once this process ends or five minutes have passed.
  }
}

void DeclarationForm::renewHold() const {
  if (held_)
    data::renewHold(s_, held_->first, held_->second);
  else
    data::renewHold(s_, {}, {});
}

void DeclarationForm::newDeclaration() {
  release();
  mode_ = Mode::New;
  d_ = model::OpenDeclaration{};
  loaded_ = false;
  modified_ = false;
  lastPeriodCheck_.reset();
}

bool DeclarationForm::runLoad(const char* what, const std::function<void()>& body) {
  auto& db = s_.database();
  cancelled_ = false;
  try {
    data::Transaction tx(db);
    body();
    tx.commit();
    return true;
  } catch (const Cancelled&) {
    cancelled_ = true;
    s_.msg().info(kCancelledText);
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(s_.msg(), e);
  } catch (const std::exception& e) {
    s_.msg().critical(std::string(what) + e.what(), "Error");
  }
  return false;
}

model::OpenDeclaration DeclarationForm::startOpening(const std::string& ruc, const std::string& periodo) {
  mode_ = Mode::Modify;
  loaded_ = false;
  modified_ = false;
  model::OpenDeclaration d;
  d.ruc = ruc;
  d.periodo = periodo;
  return d;
}

void DeclarationForm::readHeader(model::OpenDeclaration& d, const data::Row& cab) {
  d.name = data::declarantName(s_.database(), d.ruc);
  d.semana = cab.text("Semana");
  d.rectifica = text::trim(cab.text("rectifica")) == "1";
  d.stored = true;
}

bool DeclarationForm::loadOpened(model::OpenDeclaration d) {
  d_ = std::move(d);
  if (!runLoad("No se pudo abrir la declaración: ", [&] { WorkingSet(s_, d_).loadStored(); })) {
    release();
    return false;
  }
  loaded_ = true;
  return true;
}

bool DeclarationForm::opening(const std::function<bool()>& steps) {
  try {
    data::Transaction tx(s_.database());
    if (!steps()) {
      held_.reset();  // rolled back with the rest
      return false;
    }
    tx.commit();
    return true;
  } catch (const data::DbError& e) {
    held_.reset();
    data::MensajeErrorBD(s_.msg(), e);
    return false;
  }
}

bool DeclarationForm::openDeclaration(const std::string& ruc, const std::string& periodo) {
  model::OpenDeclaration d = startOpening(ruc, periodo);
  if (opening([&] { return openInTransaction(std::move(d)); })) return true;
  loaded_ = false;
  return false;
}

bool DeclarationForm::openInTransaction(model::OpenDeclaration d) {
  const std::string ruc = d.ruc, periodo = d.periodo;
  // Held first, then read: whatever another session writes after the version was read makes the
  // save refuse instead of being overwritten.
  if (!hold(ruc, periodo)) return false;
  auto& db = s_.database();
  d.version = data::storedVersion(db, ruc, periodo);
  auto key = preparationKey(ruc, periodo);
  auto cab =
      db.row("SELECT Semana, bcolibrad, nrocheque, efectivo, cheque, rectifica, ind_ref FROM CAB WHERE " + key.where,
             key.params);
  if (!cab) {
    release();
    s_.msg().critical("No existe la declaración del período " + periodToDisplay(periodo) + ".");
    return false;
  }
  readHeader(d, *cab);
  d.storedIndRef = static_cast<int>(cab->integer("ind_ref"));
  d.refreshed = false;
  if (!text::trim(cab->text("cheque")).empty()) {
    d.payment = {"C", text::trim(cab->text("bcolibrad")), text::trim(cab->text("nrocheque")), cab->text("cheque")};
  } else {
    d.payment = {"E", "XX", "", cab->text("efectivo")};
  }
  d.telephone = db.text("SELECT i_valor FROM DET WHERE " + key.where + " AND Casilla = '028'", key.params);
  return loadOpened(std::move(d));
}

bool DeclarationForm::openSent(const std::string& ruc, const std::string& periodo, const std::string& correl) {
  model::OpenDeclaration d = startOpening(ruc, periodo);
  d.correl = correl;
  auto& db = s_.database();
  auto key = sentKey(ruc, periodo, correl);
  auto cab = db.row("SELECT Semana, rectifica, norden FROM HCAB WHERE " + key.where, key.params);
  if (!cab) {
    s_.msg().critical("No existe la declaración enviada del período " + periodToDisplay(periodo) + ".");
    return false;
  }
  readHeader(d, *cab);
  d.numOrden = text::trim(cab->text("norden"));
  d.telephone = db.text("SELECT i_valor FROM HDET WHERE " + key.where + " AND Casilla = '028'", key.params);
  return loadOpened(std::move(d));
}

std::vector<data::DeclarantItem> DeclarationForm::declarants() {
  return data::LlenaDeclarantesRuc(s_.database(), s_.user);
}

Outcome DeclarationForm::CmbRuc_Click(const std::string& ruc) {
  if (loaded_) return {};
  d_.ruc = text::trim(ruc);
  d_.name = d_.ruc.empty() ? std::string() : data::declarantName(s_.database(), d_.ruc);
  if (d_.ruc.empty()) return {};
  try {
    Adicionar_CON_AFEC(s_, d_.ruc);
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(s_.msg(), e);
    return Outcome::fail("CmbRuc");
  }
  return mode_ == Mode::New ? Outcome{true, "MkePeriodo"} : Outcome{};
}

Outcome DeclarationForm::MkePeriodo_LostFocus(const std::string& text) {
  if (!ValidaPeriodoDeclaracion(s_.msg(), text)) return checked(text, Outcome::fail("MkePeriodo"));
  return checked(text, {});
}

bool DeclarationForm::periodNeedsCheck(const std::string& text) const {
  if (loaded_ || mode_ != Mode::New) return false;
  const auto& last = lastPeriodCheck_;
  return !last || last->text != text || last->ruc != d_.ruc || last->telephone != d_.telephone;
}

Outcome DeclarationForm::checked(const std::string& text, Outcome o) {
  lastPeriodCheck_ = PeriodCheck{text, d_.ruc, d_.telephone};
  return o;
}

Outcome DeclarationForm::acceptPeriod(const std::string& text, Progress& progress) {
  if (loaded_ || mode_ != Mode::New) return {};
  Outcome o = acceptPeriodUnmarked(text, progress);
  if (o.cancelled) {
    // A cancelled load is asked for again when the period field is left unchanged.
    lastPeriodCheck_.reset();
    return o;
  }
  return checked(text, o);
}

Outcome DeclarationForm::acceptPeriodUnmarked(const std::string& text, Progress& progress) {
  if (!ValidaPeriodoDeclaracion(s_.msg(), text)) return Outcome::fail("MkePeriodo");
  auto& m = s_.msg();
  if (d_.ruc.empty()) {
    m.critical("Debe seleccionar un Contribuyente.");
    return Outcome::fail("CmbRuc");
  }
  if (text.find('_') != std::string::npos || text.size() != 7) {
    m.critical("Debe ingresar Período.");
    return Outcome::fail("MkePeriodo");
  }
  std::string periodo = periodFromDisplay(text);
  Outcome out = Outcome::fail("MkePeriodo");
  if (!opening([&] {
        out = startNew(periodo, progress);
        return out.ok;
      })) {
    d_.periodo.clear();
    return out.ok ? Outcome::fail("MkePeriodo") : out;
  }
  loaded_ = true;
  modified_ = true;
  WorkingSet ws(s_, d_);
  if (reminderApplies(d_.periodo, ws.reminderCount())) m.info(reminderText());
  return {};
}

Outcome DeclarationForm::startNew(const std::string& periodo, Progress& progress) {
  auto& m = s_.msg();
  auto key = preparationKey(d_.ruc, periodo);
  // Another session preparing the same new declaration holds it.
  if (!hold(d_.ruc, periodo)) return Outcome::fail("MkePeriodo");
  std::int64_t version = data::storedVersion(s_.database(), d_.ruc, periodo);
  if (s_.database().exists("SELECT 1 FROM CAB WHERE " + key.where, key.params)) {
    release();
    m.critical("La declaración ya ha sido registrada.");
    return Outcome::fail("MkePeriodo");
  }
  std::string tel = text::trim(d_.telephone);
  if (!tel.empty() && (!text::isDigits(tel) || tel.size() > 12)) {
    release();
    m.critical("Ingrese correctamente el teléfono.");
    return Outcome::fail("TxtTelefono");
  }
  d_.periodo = periodo;
  d_.stored = false;
  d_.storedIndRef = 0;
  d_.version = version;
  if (!runLoad("No se pudo cargar la declaración: ", [&] {
        model::PersonHandoff written;
        WorkingSet(s_, d_).loadNew(progress, &written);
        determination::recomputeDeclaration(s_, d_, progress, &written);
      })) {
    release();
    d_.periodo.clear();
    Outcome o = Outcome::fail("MkePeriodo");
    o.cancelled = cancelled_;
    return o;
  }
  return {};
}

std::vector<std::pair<std::string, std::string>> DeclarationForm::fourthCategoryBoxes() {
  model::FourthCategoryBoxes sums;
  if (loaded_) sums = model::Suma_Montos(s_.database(), d_);
  std::vector<std::pair<std::string, std::string>> boxes;
  for (const char* box : {"320", "321", "322", "547"}) boxes.emplace_back(box, sums.display(box));
  return boxes;
}

bool DeclarationForm::refresh(Progress& progress) {
  if (!loaded_ || d_.sent()) return false;
  if (s_.msg().ask("Esta opción puede tardar varios minutos dependiendo del volumen de información existente. "
                   "¿Desea Continuar?",
                   "Confirmar", MsgButtons::YesNo, Answer::Yes) != Answer::Yes)
    return false;
  model::OpenDeclaration before = d_;
  if (!runLoad("No se pudo refrescar la declaración: ", [&] {
        WorkingSet(s_, d_).refresh(progress);
        determination::recomputeDeclaration(s_, d_, progress);
      })) {
    d_ = before;
    return false;
  }
  modified_ = true;
  s_.msg().info("La información ha sido refrescada satisfactoriamente.");
  return true;
}

SaveResult DeclarationForm::save(Progress& progress) {
  if (!loaded_ && !d_.sent()) {
    // Nothing loaded yet: the header checks say what is missing.
    if (d_.ruc.empty()) {
      s_.msg().critical("Debe seleccionar un Contribuyente.");
      return {false, false, "CmbRuc"};
    }
    s_.msg().critical("Debe ingresar Período.");
    return {false, false, "MkePeriodo"};
  }
  auto r = CmdGrabar(s_, d_, progress);
  if (r.saved) modified_ = false;
  return r;
}

bool DeclarationForm::leave() {
  if (modified_ && loaded_) {
    if (s_.msg().ask("¿El formulario ha sido modificado, desea guardar los cambios?", "Confirmar", MsgButtons::YesNo,
                     Answer::Yes) == Answer::Yes) {
      // A save that did not go through keeps the form open, so that nothing typed is lost.
      if (!save().saved) return false;
    }
  }
  closeWithoutSaving();
  return true;
}

void DeclarationForm::closeWithoutSaving() {
  try {
    data::Transaction tx(s_.database());
    emptyWorkingTables(s_.database());
    tx.commit();
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(s_.msg(), e);
  }
  release();
  d_.computed = {};  // the rows the computation held go with the working tables
  loaded_ = false;
  modified_ = false;
}

void DeclarationForm::prepareDetail() {
  changesBeforeDetail_ = s_.database().totalChanges();
}

void DeclarationForm::afterDetail(const PersonKey& /*person*/) {
  // A detail form that was only looked at wrote nothing: the declaration stays as it was. One
  // that wrote has already computed and stored the person with its own accept.
  if (s_.database().totalChanges() == changesBeforeDetail_) return;
  modified_ = true;
}

void DeclarationForm::afterImport(int category, const std::vector<PersonKey>& touched, Progress& progress) {
  modified_ = true;
  runLoad("No se pudo calcular la declaración: ", [&] {
    if (category == kWorker) WorkingSet(s_, d_).recomputeDays();
    Uncancellable toTheEnd(progress);
    determination::recomputePersons(s_, d_, touched, toTheEnd);
  });
}

bool DeclarationForm::removeProvider(int rowCount, const std::optional<PersonKey>& p, const std::string& retention) {
  if (!list_form::confirmDelete(s_.msg(), rowCount, p.has_value())) return false;
  bool ok = runLoad("No se pudo eliminar: ", [&] {
    auto& db = s_.database();
    data::Params who{p->correl_a, p->tip_doc_a, p->doc_id_a, retention};
    const char* byHeader = " WHERE COALESCE(correl_a, 0) = ? AND tip_doc_a = ? AND doc_id_a = ? AND tip_retencion = ?";
    db.run(std::string("DELETE FROM TMPF601RDDET") + byHeader, who);
    db.run(
        "DELETE FROM TMPF621RDDET WHERE cod_cat_tra = 3 AND tip_doc_ret = ? AND num_doc_ret = ? AND tip_retencion = ?",
        {p->tip_doc_a, p->doc_id_a, retention});
    db.run(std::string("DELETE FROM TMPF601RDCAB") + byHeader, who);
  });
  if (ok) modified_ = true;
  return ok;
}

}  // namespace korventa::declaration
