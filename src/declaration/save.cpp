#include "declaration/save.h"

#include <array>
#include <set>

#include "common/dates.h"
#include "common/text.h"
#include "common/vb_format.h"
#include "data/db_errors.h"
#include "data/numero_control.h"
#include "data/param.h"
#include "data/servicios_comunes.h"
#include "data/working_tables.h"
#include "declaration/concurrency.h"
#include "declaration/save_stamp.h"
#include "declaration/sql_support.h"
#include "declaration/stored_concepts.h"
#include "declaration/stored_trab.h"
#include "declaration/tables.h"
#include "declaration/working_set.h"
#include "detail/receipts_save.h"
#include "model/computed_persons.h"

namespace korventa::declaration {
namespace {

using data::Params;
using data::Value;

// Key columns of a stored row of the open declaration, as overrides of a copy.
std::vector<Override> keyOverrides(const model::OpenDeclaration& d) {
  return {{"tip_doc_d", Value(std::int64_t(6))},
          {"doc_id_d", Value(d.ruc)},
          {"periodo", Value(d.periodo)},
          {"formulario", Value(std::string(kFormulario))}};
}

std::string countText(data::Database& db, const std::string& sql, const Params& p = {}) {
  return std::to_string(db.integer(sql, p));
}

void writeBox(data::Database& db, const model::OpenDeclaration& d, const std::string& casilla,
              const std::string& valor) {
  std::string v = isTextBox(casilla) ? valor : vbFormatText(valor, "###########0");
  std::string id = idCasilla(casilla);
  std::vector<Value> fields = {Value(std::int64_t(6)), Value(d.ruc), Value(d.periodo), Value(std::string(kFormulario)),
                               Value(casilla),         Value(v),     Value(id),        Value()};
  db.run(
      "INSERT INTO DET (tip_doc_d, doc_id_d, periodo, Formulario, Casilla, i_valor, idcasilla, cNumero) "
      "VALUES (6, ?, ?, '0601', ?, ?, ?, ?)",
      {d.ruc, d.periodo, casilla, v, id, data::NumeroControl(fields, 6)});
}

// Deletes the stored rows of the declaration that the save writes again (Borrar_Tablas); without
// `persons`, those of the workers' and pensioners' own rows are left to saveChangedPersons.
void Borrar_Tablas(data::Database& db, const model::OpenDeclaration& d, bool persons) {
  auto key = preparationKey(d.ruc, d.periodo);
  for (const auto& t : deletedTables()) {
    if (std::string_view(t.name) == "F600INFEPS" || std::string_view(t.name) == "CUENTA") continue;
    if (!persons && (std::string_view(t.name) == "F601_TRAB" || std::string_view(t.name) == "F601_REMUNERA")) continue;
    db.run("DELETE FROM " + std::string(t.name) + " WHERE " + key.where, key.params);
  }
}

// Contribution rows of concept 0807 left without any amount are not kept (nor written later, of
// those the computation kept in memory).
void Borrar_807(data::Database& db, const model::OpenDeclaration& d) {
  db.run(
      "DELETE FROM TMPF601CONCEP WHERE codigo = '0807' AND COALESCE(TRIM(monto), '') = '' AND "
      "COALESCE(TRIM(monto_pag), '') = ''");
  model::dropEmpty0807(d);
}

// Only the concept rows that declare something are stored: an empty row says nothing that its
// absence does not.
void Grabar_F601_REMUNERA(data::Database& db, const model::OpenDeclaration& d, bool onlyChanged,
                          const model::ComputedPersons* held) {
  writeStoredConcepts(db, d, onlyChanged, ConceptCopy::Program, held);
}

void copyWorking(data::Database& db, const model::OpenDeclaration& d, const char* working, const char* stored,
                 std::vector<Override> extra = {}) {
  auto o = keyOverrides(d);
  for (auto& e : extra) o.push_back(std::move(e));
  copyRows(db, working, stored, controlCount(stored), o, "1 = 1", {});
}

// The stored rows of the declaration that the save writes again, those of the workers' and
// pensioners' own rows only for the persons changed since the working set matched the stored
// declaration (all of them when nothing of it is stored yet).
void grabarPersonas(data::Database& db, const model::OpenDeclaration& d) {
  // The concept rows the computation holds, while they still are the working table's: until the
  // stored rows are written nothing below touches the working table but Borrar_807, whose
  // removals the writer repeats on them.
  const model::ComputedPersons* held = model::heldComputed(db, d);
  auto key = preparationKey(d.ruc, d.periodo);
  const bool everyone =
      data::allPersonsChanged(db) || !db.exists("SELECT 1 FROM F601_TRAB WHERE " + key.where, key.params);
  Borrar_Tablas(db, d, everyone);
  if (everyone) writeStoredTrab(db, d);
  Borrar_807(db, d);
  if (everyone) {
    Grabar_F601_REMUNERA(db, d, false, held);
    return;
  }
  if (!db.exists("SELECT 1 FROM TMPF601_CAMBIOS")) return;  // no person changed: their rows stay
  saveChangedPersons(db, d);
  Grabar_F601_REMUNERA(db, d, true, held);
}

void Grabar_F601_SCTR(data::Database& db, const model::OpenDeclaration& d) {
  insertSelect(db, "F601_SCTR", 5,
               {{"tip_doc_d", "6"},
                {"doc_id_d", "?"},
                {"periodo", "?"},
                {"formulario", "'0601'"},
                {"correl_a", "CORREL_A"},
                {"tip_doc_a", "tip_doc_a"},
                {"doc_id_a", "DOC_ID_A"},
                {"fec_nac", "FEC_NAC"},
                {"Nombre", "COALESCE(NOMBRE, '')"},
                {"centro", "centro"},
                {"tasa", "Tasa"},
                {"rem_sctrs", "vbfmt(rem_sctrs, '######0.00')"},
                {"sctrs", "vbfmt(sctrs, '######0.00')"},
                {"tip_doc", "TIP_DOC"},
                {"correl_centro", "Correl_centro"},
                {"correl_tasa", "Correl_tasa"},
                {"ruc_eps", "ruc_eps"},
                {"fec_baja", "fec_baja"}},
               "FROM TEMP2_F601", {d.ruc, d.periodo});
}

// CAB: added when missing; payment data and state.
void GrabarCab(data::Database& db, model::OpenDeclaration& d, bool inconsistent) {
  auto key = preparationKey(d.ruc, d.periodo);
  auto current = db.row("SELECT ind_ref FROM CAB WHERE " + key.where, key.params);
  int storedIndRef = current && !current->isNull("ind_ref") ? static_cast<int>(current->integer(0)) : 0;
  // The registry changed after this working set was built from it (the mark may have found no
  // header to mark yet): the declaration stays marked for refresh.
  const bool marked = markedSince(db, d);
  if (marked) storedIndRef = 1;
  int estado, indRef;
  if (inconsistent) {
    // A refreshed declaration no longer waits for its refresh, whatever else it lacks: were the
    // mark kept, its validation would stop at the refresh and never list what to correct.
    estado = 9;
    indRef = d.refreshed && !marked ? 0 : storedIndRef;
  } else if (storedIndRef == 1 && (!d.refreshed || marked)) {
    estado = 9;
    indRef = 1;
  } else {
    estado = 0;
    indRef = 0;
  }
  std::string total = vbFormatText(text::trim(d.payment.total), "#########0");
  std::string bank, cheque, chequeAmount, cash;
  if (d.payment.type == "C") {
    bank = d.payment.bank;
    cheque = text::trim(d.payment.chequeNumber);
    chequeAmount = total;
  } else {
    bank = " ";
    cheque = " ";
    cash = total;
  }
  std::string today = Clock::today().dmy();
  if (!current) {
    db.run("INSERT INTO CAB (tip_doc_d, doc_id_d, periodo, Formulario) VALUES (6, ?, ?, '0601')", {d.ruc, d.periodo});
  }
  db.run(
      "UPDATE CAB SET fec_pro = ?, Semana = ?, bcolibrad = ?, nrocheque = ?, cheque = ?, efectivo = ?, estado = ?, "
      "ind_ref = ?, rectifica = ? WHERE " +
          key.where,
      {today, d.semana, bank, cheque, chequeAmount, cash, estado, indRef, std::string(d.rectifica ? "1" : "0"), d.ruc,
       d.periodo});
  recomputeControl(db, "CAB", 5, key.where, key.params);
  d.storedIndRef = indRef;
  d.stored = true;
}

void GrabarDET(data::Database& db, Session& s, const model::OpenDeclaration& d,
               const std::vector<determination::Box>& grid) {
  auto key = preparationKey(d.ruc, d.periodo);
  db.run("DELETE FROM DET WHERE " + key.where, key.params);
  std::set<std::string> written;
  for (const auto& b : grid) {
    if (!written.insert(b.casilla).second) continue;
    writeBox(db, d, b.casilla, b.valor);
  }
  // The boxes of the fourth-category tab, summed from the receipts (none without receipts).
  auto receipts = model::Suma_Montos(db, d);
  for (const char* box : {"320", "321", "322", "547"}) {
    if (receipts.empty() || !written.insert(box).second) continue;
    writeBox(db, d, box, receipts.value(box));
  }
  for (const auto& b : headerBoxes(s, d)) {
    if (b.casilla == "999") {
      // Check box: how many boxes the declaration holds before it.
      writeBox(db, d, b.casilla, std::to_string(written.size()));
      written.insert(b.casilla);
      continue;
    }
    if (!written.insert(b.casilla).second) continue;
    writeBox(db, d, b.casilla, b.valor);
  }
  // GrabarCasillaRectificatoria: the rectified columns travel with the determination boxes.
}

// The notices of a save, read in its transaction and shown once it is committed.
struct AfterSave {
  std::vector<determination::ShownMessage> shown;
  bool epsInvalid = false;
};

AfterSave afterSave(Session& s, model::OpenDeclaration& d, bool inconsistent) {
  auto& db = s.database();
  AfterSave a;
  auto info = [&a](std::string text) { a.shown.push_back({MsgIcon::Information, std::move(text), "Mensaje"}); };
  for (int cat : {kWorker, kPensioner}) {
    long long all = db.integer("SELECT count(*) FROM TEMP1_F601 WHERE cod_cat_tra = ?", {cat});
    long long gone = db.integer(
        "SELECT count(*) FROM TEMP1_F601 WHERE cod_cat_tra = ? AND TRIM(Situac) IN ('12', '13', '14', '15')", {cat});
    if (all > 0 && gone == all) info(determination::noActiveNotice(cat == kPensioner));
  }
  a.epsInvalid = determination::EPS_Invalida(db, d);
  if (a.epsInvalid) a.shown.push_back({MsgIcon::Critical, determination::epsInvalidaText(), "Mensaje"});
  // MensajeGuardar
  if (inconsistent) {
    a.shown.push_back({MsgIcon::Exclamation,
                       "La información de la declaración fue guardada con inconsistencias. En estas condiciones no "
                       "podrá ser enviada a la ZUMAR.",
                       "Mensaje"});
    return a;
  }
  info(data::DescripcionError(db, 151));
  WorkingSet ws(s, d);
  if (reminderApplies(d.periodo, ws.reminderCount())) info(reminderText());
  return a;
}

// The version of the form as the parameter table publishes it (the program's own when missing).
std::string programVersion(Session& s) {
  auto v = data::ParamTable(s.database()).version856(kFormulario);
  return v ? text::trim(v->first) : s.version;
}

}  // namespace

bool isTextBox(std::string_view c) {
  static const std::set<std::string, std::less<>> t = {"028", "005", "012", "721", "987", "986", "985", "984",
                                                       "720", "719", "737", "722", "723", "724", "725", "726",
                                                       "727", "728", "729", "871", "749", "790"};
  return t.count(c) > 0;
}

std::string idCasilla(std::string_view c) {
  if (c.size() == 3 && c >= "800" && c <= "811") return "05";
  if (c == "814" || c == "595" || c == "535") return "05";
  return "01";
}

namespace {

// The counts of TEMP1_F601 the header boxes give, in one pass over the table.
struct PersonCounts {
  std::string workers, pensioners, special, essaludVida, eps, sctr, spp, onp, quinta, notDomiciled;
  std::int64_t all = 0;  // every person of the table
};

PersonCounts personCounts(data::Database& db) {
  // Workers under special labour rules: port, civil construction, aviation, maritime, press,
  // leather, mining, fishing, artists, agrarian and aquaculture.
  auto r = db.row(
      "SELECT count(*), COALESCE(sum(cod_cat_tra = 1), 0), COALESCE(sum(cod_cat_tra = 2), 0), "
      "COALESCE(sum(cod_cat_tra = 1 AND TRIM(Tipo) IN ('22', '27', '28', '29', '30', '31', '32', '36', '37', '38', "
      "'56', '64', '65', '66')), 0), "
      "COALESCE(sum(cod_cat_tra = 1 AND TRIM(COALESCE(essalud_vida, '')) = '1'), 0), "
      "COALESCE(sum(cod_cat_tra = 1 AND TRIM(COALESCE(ind_afieps, '')) = '1'), 0), "
      "COALESCE(sum(cod_cat_tra = 1 AND sctr = 1), 0), "
      "COALESCE(sum(cod_cat_tra = 1 AND pension IN (21, 22, 23, 24)), 0), "
      "COALESCE(sum(cod_cat_tra = 1 AND pension = 2), 0), "
      "COALESCE(sum(cod_cat_tra = 1 AND TRIM(COALESCE(ind_quinta, '')) = '1'), 0), "
      "COALESCE(sum(cod_cat_tra = 1 AND TRIM(COALESCE(ind_domicilio, '')) = '2'), 0) FROM TEMP1_F601");
  auto n = [&](std::size_t i) { return std::to_string(r->integer(i)); };
  return {n(1), n(2), n(3), n(4), n(5), n(6), n(7), n(8), n(9), n(10), r->integer(0)};
}

// The days, hours and income of the workers and pensioners, each summed as an amount.
std::array<std::string, 3> personSums(data::Database& db) {
  std::array<Money, 3> total;
  for (const auto& r : db.rows("SELECT dias_lab, horas_nor, Tot_Ingresos FROM TEMP1_F601 WHERE cod_cat_tra IN (1, 2)"))
    for (std::size_t i = 0; i < total.size(); ++i) total[i] += Money::value(r.text(i));
  return {vbFormat(total[0], "###########0"), vbFormat(total[1], "###########0"), vbFormat(total[2], "###########0")};
}

}  // namespace

std::vector<determination::Box> headerBoxes(Session& s, const model::OpenDeclaration& d) {
  auto& db = s.database();
  auto cnt = [&](const std::string& sql) { return countText(db, sql); };
  const auto persons = personCounts(db);
  const auto& workers = persons.workers;
  const auto& pensioners = persons.pensioners;
  std::string thirdParties = cnt("SELECT count(*) FROM TEMP2_F601");
  std::string providers =
      cnt("SELECT count(*) FROM (SELECT DISTINCT tip_doc_a, doc_id_a FROM TMPF601RDCAB WHERE cod_cat_tra = 3)");
  std::string vouchers = cnt("SELECT count(*) FROM TMPF601RDDET WHERE cod_cat_tra = 3");
  std::string trainees = cnt("SELECT count(*) FROM TMPF601MFCAB");
  const auto sums = personSums(db);
  auto orSC = [](const std::string& n) { return n == "0" ? std::string("SC") : n; };
  std::string regimen =
      text::trim(db.text("SELECT Ind_RegimenLab FROM CONTRVKRS WHERE tip_doc_d = 6 AND doc_id_d = ?", {d.ruc}));
  std::string total = std::to_string(
      persons.all + db.integer("SELECT (SELECT count(*) FROM TEMP2_F601) + "
                               "(SELECT count(*) FROM (SELECT DISTINCT tip_doc_a, doc_id_a FROM TMPF601RDCAB)) + "
                               "(SELECT count(*) FROM TMPF601MFCAB)"));
  std::vector<determination::Box> b = {
      {"028", text::trim(d.telephone)},
      {"002", d.ruc},
      {"012", d.payment.type == "C" ? text::trim(d.payment.chequeNumber) : std::string()},
  };
  if (d.payment.type == "C" && d.payment.bank != "XX") b.push_back({"015", d.payment.bank});
  std::vector<determination::Box> rest = {
      {"007", d.periodo},
      {"721", programVersion(s)},
      {"719", workers},
      {"737", persons.special},
      {"720", workers},
      {"732", total},
      {"733", providers},
      {"734", vouchers},
      {"736", pensioners},
      {"738", trainees},
      {"739", thirdParties},
      {"722", determination::parameterVersion(db)},
      {"723", persons.essaludVida},
      {"724", persons.eps},
      {"725", persons.sctr},
      {"726", persons.spp},
      {"727", persons.onp},
      {"728", persons.quinta},
      {"729", persons.notDomiciled},
      {"730", sums[0]},
      {"731", sums[1]},
      {"748", sums[2]},
      {"749", Clock::today().dmy()},
      {"735", std::to_string(d.establishments)},
      {"871", text::trim(s.user)},
      {"201", regimen},
      {"987", orSC(workers)},
      {"986", orSC(pensioners)},
      {"985", orSC(providers)},
      {"005", d.rectifica ? "1" : "0"},
      {"999", ""},
  };
  b.insert(b.end(), rest.begin(), rest.end());
  return b;
}

SaveResult registrarNumeroOrden(Session& s, model::OpenDeclaration& d) {
  std::string numero = text::trim(d.numOrden);
  if (numero.empty()) {
    s.msg().critical("Debe registrar Número de orden.");
    return {false, false, "TxtNumOrdenE"};
  }
  if (!ServiciosComunes::Verifica_Digito(numero, ServiciosComunes::textoVerificacion(d.ruc, d.periodo, d.correl))) {
    s.msg().critical("Número de Orden Ingresado No corresponde a la declaración enviada.");
    return {false, false, "TxtNumOrdenE"};
  }
  auto& db = s.database();
  try {
    data::Transaction tx(db);
    auto key = sentKey(d.ruc, d.periodo, d.correl);
    db.run("UPDATE HCAB SET norden = ? WHERE " + key.where, {numero, d.ruc, d.periodo, d.correl});
    std::vector<Value> fields = {
        Value(std::int64_t(6)),    Value(d.ruc),  Value(d.periodo),         Value(std::string(kFormulario)),
        Value(std::string("970")), Value(numero), Value(std::string("01")), Value()};
    std::string nc = data::NumeroControl(fields, 6);
    if (db.run("UPDATE HDET SET i_valor = ?, idcasilla = '01', cNumero = ? WHERE Casilla = '970' AND " + key.where,
               {numero, nc, d.ruc, d.periodo, d.correl}) == 0)
      db.run(
          "INSERT INTO HDET (tip_doc_d, doc_id_d, periodo, Formulario, Casilla, i_valor, idcasilla, cNumero, correl) "
          "VALUES (6, ?, ?, '0601', '970', ?, '01', ?, ?)",
          {d.ruc, d.periodo, numero, nc, d.correl});
    tx.commit();
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(s.msg(), e);
    return {false, false, {}};
  }
  s.msg().info("El número de orden fue registrado satisfactoriamente.");
  return {true, false, {}};
}

namespace {

// The writes of the save, in the caller's transaction: a handful of whole-table statements,
// counted one by one; the last count is the last chance to cancel before the commit.
constexpr long long kWrites = 8;

void writeDeclaration(Session& s, model::OpenDeclaration& d, const std::vector<determination::Box>& grid,
                      bool inconsistent, Progress& progress) {
  auto& db = s.database();
  progress.step(steps::kSaving);
  progress.tick(0, kWrites);
  grabarPersonas(db, d);
  progress.tick(3, kWrites);
  Grabar_F601_ESTAB(db, d);
  copyWorking(db, d, "TMPF601DIAS_NOLAB", "F601DIAS_NOLAB");
  copyWorking(db, d, "TMPF601_605", "F601_605");
  copyWorking(db, d, "TMP_F601_SCTR_OTRO", "F601_SCTR_OTRO");  // its rates were checked with the rest
  auto key = preparationKey(d.ruc, d.periodo);
  db.run("DELETE FROM F600INFEPS WHERE " + key.where, key.params);
  copyWorking(db, d, "TMPF600INFEPS", "F600INFEPS", {{"Correl", Value(std::string())}});
  progress.tick(4, kWrites);
  GrabarCab(db, d, inconsistent);
  GrabarDET(db, s, d, grid);
  progress.tick(5, kWrites);
  detail::Graba_Rta(db, d);
  copyWorking(db, d, "TMPF621RDDET", "F621RDDET");  // receipts as imported, checked by later imports
  progress.tick(6, kWrites);
  detail::Graba_ModForm(db, d);
  Grabar_F601_SCTR(db, d);  // Grabar_Terceros
  copyWorking(db, d, "TMPF600SUBSID", "F600SUBSID");
  data::forgetPersonChanges(db);  // the stored declaration is the working set again
  // The last chance to stop: past the commit the save is done.
  progress.tick(7, kWrites);
}

}  // namespace

SaveResult CmdGrabar(Session& s, model::OpenDeclaration& d, Progress& progress) {
  if (d.sent()) return registrarNumeroOrden(s, d);
  // ValidaContForm1
  if (text::trim(d.ruc).empty()) {
    s.msg().critical("Debe seleccionar un Contribuyente.");
    return {false, false, "CmbRuc"};
  }
  if (d.periodo.empty()) {
    s.msg().critical("Debe ingresar Período.");
    return {false, false, "MkePeriodo"};
  }
  auto& db = s.database();
  if (text::trim(d.ruc).size() == 8) {
    s.msg().critical(
        "No puede grabar declaraciones con RUC de 8, modifique el RUC de 8 a 11 en el Modulo de Registro "
        "de Declarantes.");
    return {false, false, "CmbRuc"};
  }
  if (!d.refreshed) {
    auto key = preparationKey(d.ruc, d.periodo);
    auto stored = db.row("SELECT i_valor FROM DET WHERE " + key.where + " AND Casilla = '722'", key.params);
    if (stored && text::trim(stored->text(0)) != determination::parameterVersion(db)) {
      s.msg().critical("Debe refrescar antes de guardar. Declaración ha sido grabada con versión anterior.");
      return {false, false, "Command1"};
    }
  }

  bool inconsistent = false;
  AfterSave after;
  model::OpenDeclaration before = d;
  try {
    data::Transaction tx(db);
    // The claim writes the stored declaration's version row only, never the working tables: the
    // concept rows the computation holds stay theirs for the checks.
    const bool held = model::heldUnchanged(db, d);
    claimOpened(s, d);  // nothing is written over what another session stored after the opening
    if (held) model::keepHeldAfterWrite(db, d);
    ensureSqlFunctions(db);
    WorkingSet(s, d).readPeriodValues();
    // The persons were computed when the working set was loaded, refreshed or imported and
    // each one again after its detail forms: the save stores them as they are.
    // The checks (every rule of the validation) read the working set and the registry only; one
    // that stops leaves nothing written. They run before DET is cleared: the grid's typed boxes
    // may come from there, and the grid they checked is the one stored.
    auto checks = determination::saveChecks(s, d, progress);
    if (checks.stop) {
      d = before;
      s.msg().critical(checks.message);
      return {false, false, {}};
    }
    inconsistent = checks.inconsistent;
    const auto& grid = checks.boxes;
    d.payment.total = determination::totalToPay(grid);
    writeDeclaration(s, d, grid, inconsistent, progress);
    after = afterSave(s, d, inconsistent);
    recordSaveStamp(s, d, inconsistent, after.shown, checks.validation, after.epsInvalid);
    tx.commit();
    progress.advance(kWrites, kWrites);
  } catch (const Cancelled&) {
    d = before;
    s.msg().info(kCancelledText);
    SaveResult r;
    r.cancelled = true;
    return r;
  } catch (const data::DbError& e) {
    d = before;
    data::MensajeErrorBD(s.msg(), e);
    return {false, false, {}};
  } catch (const std::exception& e) {
    d = before;
    s.msg().critical(std::string("No se pudo guardar la declaración: ") + e.what(), "Error");
    return {false, false, {}};
  }
  showAll(s.msg(), after.shown);
  return {true, inconsistent, {}};
}

}  // namespace korventa::declaration
