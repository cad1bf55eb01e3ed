#include "determination/validation.h"
#include "determination/validation_person.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>

#include "common/dates.h"
#include "common/text.h"
#include "data/param.h"
#include "model/labour_periods.h"
#include "determination/declaration_checks.h"
#include "determination/concept_rules.h"
#include "determination/computation.h"

namespace korventa::determination {
namespace {

using checked::blank;
using checked::num;
using CheckedConcept = checked::Concept;

bool in(int v, std::initializer_list<int> set) {
  for (int x : set)
    if (v == x) return true;
  return false;
}

}  // namespace

std::filesystem::path mensPath(Session& s) {
  std::filesystem::path dir =
      s.paths.tmpPath.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(s.paths.tmpPath);
  return dir / "Mens.txt";
}

DeclarationValidator::DeclarationValidator(Session& session, const model::OpenDeclaration& decl)
    : s_(session), d_(decl) {}
DeclarationValidator::~DeclarationValidator() = default;

// The save's checks keep the lines too (building them costs nothing more): its record of what the
// validation would print.
void DeclarationValidator::line(const std::string& t) {
  r_.inconsistent = true;
  r_.lines.push_back(t);
}

void DeclarationValidator::warn(const std::string& t) {
  if (silent_)
    warnings_.push_back({MsgIcon::Exclamation, t, "Validación"});
  else
    s_.msg().warning(t, "Validación");
}

// In the save a stopping rule leaves the checks unfinished: the declaration cannot be trusted.
bool DeclarationValidator::stop(const std::string& t) {
  r_.stopped = true;
  r_.stopMessage = t;
  if (silent_)
    r_.inconsistent = true;
  else
    s_.msg().critical(t, "Validación");
  return false;
}

// Rules 1 to 5; false when a stopping rule ended the run.
bool DeclarationValidator::header() {
  auto& db = s_.database();
  auto ref = db.row(
      "SELECT ind_ref FROM CAB WHERE tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND "
      "Formulario = '0601'",
      {d_.ruc, d_.periodo});
  // The save stores a declaration waiting for its refresh with estado 9 by its own rule.
  if (!silent_ && ref && !ref->isNull("ind_ref") && ref->integer(0) == 1 && !d_.refreshed)
    return stop("Se han cambiado datos del registro, debe refrescar.");
  auto v = data::ParamTable(db).version856(kFormulario);
  if (!v) return stop("No existe parametro de la versión y fecha de publicación. Instalar nuevamente el ZEL 0601.");
  std::string date = text::trim(v->second);
  bool dateOk = date.size() == 10 && date[2] == '/' && date[5] == '/' &&
                text::isDigits(date.substr(0, 2) + date.substr(3, 2) + date.substr(6, 4)) &&
                isRealDate(num(date.substr(6, 4)), num(date.substr(3, 2)), num(date.substr(0, 2)));
  if (!dateOk) return stop("Error en parametro. Fecha de publicación inválida. Instalar nuevamente el ZEL 0601.");
  if (text::trim(v->first) != kVersionPrograma)
    return stop("Error en parametro. Versión inválida. Instalar nuevamente el ZEL 0601.");
  std::string tel = text::trim(d_.telephone);
  if (!tel.empty() && text::isDigits(tel) && tel.find_first_not_of('0') == std::string::npos)
    line("El teléfono no puede ser 0");
  return true;
}

void DeclarationValidator::labourPeriods() {
  auto& db = s_.database();
  const auto& periods = labourPeriodsOfTheRegistry();
  std::set<std::pair<std::int64_t, std::string>> marked;
  for (const auto& r : db.rows("SELECT correl_a, doc_id_a FROM TMP_ESTTURNOS_JL WHERE Indica = 1"))
    marked.insert({r.integer(0), text::trim(r.text(1))});
  for (const auto& p : persons_) {
    if (p.category != kWorker) continue;
    // Rule 6 applies only where the declarant has establishments to mark.
    if (d_.establishments > 0 && !marked.count({p.correl, p.doc}))
      line("Marcar establecimiento para documento: " + p.doc);
    auto of = periods.of(p.correl, kWorker, p.tipo);
    if (!model::EncuentroPeriodoLaboral(of, d_.periodo, p.situac)) {
      line(
          "Fechas de períodos de ingreso/reingreso y/o baja no son consistentes con el período de la declaración "
          "del trabajador: " +
          p.doc);
    } else if (!model::sinDias(p.tipo, p.situac) && num(p.diasLab) > model::diasLaborados(of, d_.periodo)) {
      line("Ha ingresado más dias de lo permitido, verifique Jornada Laboral del trabajador: " + p.doc);
    }
  }
  for (const auto& r : db.rows("SELECT doc_id_a FROM PERIODOLAB WHERE tip_doc_d = 6 AND doc_id_d = ? AND "
                               "COALESCE(TRIM(fec_fin), '') = '' GROUP BY tip_doc_a, doc_id_a, cod_cat_tra "
                               "HAVING count(*) > 1",
                               {d_.ruc}))
    line(text::trim(r.text(0)) +
         " está registrado con dos periodos laborales con fecha de baja en blanco. Ingrese a los datos, corrija y "
         "grabe.");
  // Rule 10: from 200901 on, types 23 and 33 (replaced) and 66, 67, 69 and 70 (valid only from 2009)
  // must be changed in the registry: before 200901 the newer types, from 200901 the older ones.
  for (const auto& p : persons_) {
    if (p.category != kWorker) continue;
    int t = p.tipoNum();
    bool wrong = d_.periodo >= "200901" ? in(t, {23, 33}) : in(t, {66, 67, 69, 70});
    if (wrong) line("Ingresar al registro y cambiar el tipo del trabajador: " + p.doc);
  }
  for (const auto& p : persons_) {
    if (p.category != kPensioner) continue;
    if (!model::EncuentroPeriodoLaboral(periods.of(p.correl, kPensioner, p.tipo), d_.periodo, p.situac))
      line(
          "Fechas de períodos de ingreso/reingreso y/o baja no son consistentes con el período de la declaración "
          "del pensionista: " +
          p.doc);
  }
  for (const auto& r : db.rows("SELECT DISTINCT c.doc_id_a FROM TMPF601RDCAB c JOIN ASEGVKRS a ON a.tip_doc_d = 6 AND "
                               "a.doc_id_d = ? AND a.cod_cat_tra = 3 AND a.tip_doc_a = c.tip_doc_a AND "
                               "a.doc_id_a = c.doc_id_a WHERE c.cod_cat_tra = 3 AND "
                               "TRIM(COALESCE(a.ind_domicilio, '')) <> TRIM(COALESCE(c.ind_domicilio, ''))",
                               {d_.ruc}))
    line("Debe grabar y refrescar, se ha cambiado la condición de domicilio para " + text::trim(r.text(0)));
}

void DeclarationValidator::otherPersons() {
  auto& db = s_.database();
  for (const auto& r :
       db.rows("SELECT doc_id_a FROM TMPF601MFCAB WHERE TRIM(COALESCE(mto_renta, '')) = '' ORDER BY rowid"))
    line("Registrar monto para PS Modalidad Formativa, documento: " + text::trim(r.text(0)));
  for (const auto& r :
       db.rows("SELECT c.doc_id_a FROM TMPF601MFCAB c WHERE NOT EXISTS (SELECT 1 FROM TMPF601_ESTABMF e "
               "WHERE e.tip_doc_a = c.tip_doc_a AND e.doc_id_a = c.doc_id_a) ORDER BY c.rowid"))
    line("Registrar establecimiento(s) para PS Modalidad Formativa, documento: " + text::trim(r.text(0)));
  // Rule 15: SCTR data are the company, its establishment, the rate and the remuneration.
  for (const auto& r :
       db.rows("SELECT DOC_ID_A FROM TEMP2_F601 WHERE TRIM(COALESCE(Ruc, '')) = '' OR Correl_centro IS "
               "NULL OR TRIM(COALESCE(Tasa, '')) = '' OR TRIM(COALESCE(rem_sctrs, '')) = '' ORDER BY rowid"))
    line("Registrar información de personal de terceros, " + text::trim(r.text(0)));
  for (const auto& r : db.rows("SELECT t.DOC_ID_A FROM TEMP2_F601 t WHERE TRIM(COALESCE(t.Ruc, '')) <> '' AND "
                               "t.Correl_centro IS NOT NULL AND TRIM(COALESCE(t.Tasa, '')) <> '' AND NOT EXISTS "
                               "(SELECT 1 FROM COR_TASAS_601 c WHERE c.tip_doc_d = 6 AND c.doc_id_d = ? AND "
                               "c.doc_ruc_emp = TRIM(t.Ruc) AND c.cod_est = t.Correl_centro AND "
                               "ROUND(c.tasa * 1, 2) = ROUND(t.Tasa * 1, 2)) ORDER BY t.rowid",
                               {d_.ruc}))
    line("Registrar información de personal de terceros. Ha cambiado establecimientos o tasas, documento " +
         text::trim(r.text(0)));
}

const model::LabourPeriods& DeclarationValidator::labourPeriodsOfTheRegistry() {
  if (!periods_) periods_.emplace(s_.database(), d_.ruc, std::vector<int>{kWorker, kPensioner});
  return *periods_;
}

// Concepts affected to ESSALUD: positions 1 to 3 of the affectation of the catalogue or of the
// declarant's own concepts.
const std::set<std::string>& DeclarationValidator::essaludConcepts() {
  if (essalud_) return *essalud_;
  auto& db = s_.database();
  auto& s = essalud_.emplace();
  auto affected = [](const std::string& f) {
    for (std::size_t i = 1; i <= 3; ++i)
      if (text::mid(f, i, 1) == "1") return true;
    return false;
  };
  for (const auto& r : db.rows("SELECT CODIGO, FUNCION FROM PARAM_REMUNERA"))
    if (affected(r.text(1))) s.insert(text::trim(r.text(0)));
  for (const auto& r :
       db.rows("SELECT cod_concepto, des_concepto FROM CON_ADIC WHERE tip_doc_d = 6 AND doc_id_d = ?", {d_.ruc}))
    if (affected(r.text(1))) s.insert(text::trim(r.text(0)));
  return s;
}

namespace {
bool contribution(int n) {
  return (n >= 601 && n <= 699) || (n >= 801 && n <= 899);
}
}  // namespace

void DeclarationValidator::concepts() {
  const auto& essalud = essaludConcepts();
  const std::string& per = d_.periodo;
  // Whether a worker type is offered an ESSALUD-affected concept of the declarant's set (the
  // working set holds only the rows that declare something, so the set and the types tell).
  const auto ctx = loadContext(s_.database(), d_);
  std::vector<std::string> essaludOfSet;
  for (const auto& def : ctx.conceptSet)
    if (essalud.count(def.codigo)) essaludOfSet.push_back(def.codigo);
  std::map<int, bool> offeredByType;
  auto typeOffered = [&](int tipo) {
    auto it = offeredByType.find(tipo);
    if (it != offeredByType.end()) return it->second;
    bool any = false;
    for (const auto& code : essaludOfSet) any = any || ctx.types.ExisteTipoConcepto(tipo, code, per);
    return offeredByType[tipo] = any;
  };
  for (const auto& p : persons_) {
    int t = p.tipoNum();
    bool worker = p.category == kWorker;
    // Rules 17, 23 and 38 flag what the computation clears for the period, so a refresh mends it.
    if (worker && t == 67 && per < "200901" && p.hasAmount("0604"))
      line("Concepto 0604 no válido para el periodo, documento: " + p.doc + " . Refrescar.");
    // Rule 18: employer contributions (08xx) with a base need their amount; 0807 is optional
    // (left empty, the save drops it).
    for (const auto& c : p.concepts)
      if (c.code >= 801 && c.code <= 899 && c.codigo != "0807" && !blank(c.base) && blank(c.monto))
        line("Registrar monto en concepto " + c.codigo + ", documento: " + p.doc);
    for (const auto& c : p.concepts)
      if (contribution(c.code) && hasBaseBox(c.codigo) && !blank(c.monto) && blank(c.base))
        line("Ha ingresado monto en concepto " + c.codigo + ", base imponible no puede ser nula, " + p.doc);
    if (worker) {
      // Only persons whose type carries ESSALUD-affected concepts can register one.
      bool offered = typeOffered(t), anyEssalud = false, positiveEssalud = false;
      for (const auto& c : p.concepts) {
        if (!essalud.count(c.codigo)) continue;
        offered = true;
        if (blank(c.monto)) continue;
        anyEssalud = true;
        positiveEssalud = positiveEssalud || Money::value(c.monto) > Money();
      }
      // Rule 20: worked days with every ESSALUD-affected amount empty or zero.
      if (!offered) {
      } else if (num(p.diasLab) > 0 && !positiveEssalud)
        line("Tiene días laborados, registrar importe en algún concepto afecto al ESSALUD para el trabajador " + p.doc);
      else if (in(p.situacNum(), {10, 11, 12, 13}) && !anyEssalud)
        line(
            "Registrar concepto afecto a EsSalud, pudiendo ser cero cuando esté subsidiado por el período, para el "
            "trabajador " +
            p.doc);
    }
    // Rule 22: a concept that is not a contribution with a base and no amount.
    for (const auto& c : p.concepts)
      if (!contribution(c.code) && !blank(c.base) && blank(c.monto))
        line("Monto del documento: " + p.doc + " no puede ser nulo. Tiene base de cálculo en concepto " + c.codigo);
    if (worker) clearedConcepts(p);
    // Rule 25: worker or pensioner contributions (06xx) with a base need their amount.
    for (const auto& c : p.concepts)
      if (c.code >= 601 && c.code <= 699 && !blank(c.base) && blank(c.monto))
        line("Monto en concepto " + c.codigo + (worker ? " del trabajador doc=" : " del pensionista doc=") + p.doc +
             " esta vacío.");
    for (const auto& c : p.concepts) {
      if (!contribution(c.code) || blank(c.base)) continue;
      Money base = Money::value(c.base);
      if (base <= Money())
        line("Si ingresa valor en base de cálculo debe ser mayor a cero en concepto " + c.codigo);
      else if (!blank(c.monto) && Money::value(c.monto) <= Money())
        line("Si ingresa valor en Monto debe ser mayor a cero en concepto " + c.codigo);
      else if (!blank(c.monto) && base <= Money::value(c.monto))
        line("La base de calculo debe ser mayor al Monto en concepto " + c.codigo);
    }
  }
  Valida_0804();
}

// Rules 23 and 24: amounts in concepts the computation clears for the worker's type and period.
void DeclarationValidator::clearedConcepts(const Person& p) {
  const std::string& per = d_.periodo;
  int t = p.tipoNum();
  bool fcj = (p.pension == 2 || (p.pension >= 21 && p.pension <= 24)) && in(t, {32, 37, 38});
  std::vector<std::pair<const char*, bool>> cleared = {{"0804", t == 67 && per < "200901"},
                                                       {"0806", t == 67 && per < "200901"},
                                                       {"0607", t == 67 && per < "200806"},
                                                       {"0616", !(fcj && per >= "201205")},
                                                       {"0617", !(fcj && per >= "201208")}};
  for (const auto& [code, clear] : cleared)
    if (clear && p.hasAmount(code))
      line(std::string("Concepto ") + code + " no válido para el periodo, documento: " + p.doc);
  if (in(t, {68, 69}) && p.hasAmount("0806"))
    line("No registrar montos en concepto 806 para trabajadores tipo 68 y 69, documento : " + p.doc);
}

void DeclarationValidator::Valida_0804() {
  const auto& essalud = essaludConcepts();
  for (const auto& p : persons_) {
    // Types without ESSALUD (0804), as the computation clears it: 68, 69, 88, and 67 before 200901.
    int t = p.tipoNum();
    if (p.category != kWorker || in(t, {68, 69, 88}) || (t == 67 && d_.periodo < "200901") || p.hasAmount("0804"))
      continue;
    bool affected = false;
    for (const auto& c : p.concepts) affected = affected || (essalud.count(c.codigo) && !blank(c.monto));
    if (affected) line("Tiene conceptos afectos a ESSALUD, verificar trabajador " + p.doc);
  }
}

void DeclarationValidator::suspensions() {
  auto& db = s_.database();
  int monthDays = daysInMonth(num(periodYear(d_.periodo)), num(periodMonth(d_.periodo)));
  // Per worker: the days of the month in perfect suspension (types 1 to 9) and how many
  // suspensions of the other types. A suspension keeps its days of the month in dias_no_lab, or in
  // dias_sub when it is subsidised.
  std::map<std::pair<std::int64_t, std::string>, std::pair<int, int>> noLab;
  for (const auto& r :
       db.rows("SELECT correl_a, doc_id_a, tipo_suspen, dias_no_lab, dias_sub FROM TMPF601DIAS_NOLAB")) {
    int tipo = num(r.text(2));
    auto& e = noLab[{r.integer(0), text::trim(r.text(1))}];
    if (tipo >= 1 && tipo <= 9)
      e.first += num(r.text(3)) + num(r.text(4));
    else if (tipo > 9)
      ++e.second;
  }
  for (const auto& p : persons_) {
    if (p.category != kWorker) continue;
    auto it = noLab.find({p.correl, p.doc});
    int perfect = it == noLab.end() ? 0 : it->second.first, others = it == noLab.end() ? 0 : it->second.second;
    int sit = p.situacNum();
    if (in(sit, {10, 11}) && perfect >= monthDays)
      line(std::string("Actualizar situación, todos los días del período corresponden a días de") +
           " Suspensión Perfecta, documento " + p.doc);
    if (in(sit, {14, 15}) && others > 0)
      line("Ha declarado dias que no corresponden a suspensión perfecta para el trabajador " + p.doc);
    if (in(sit, {14, 15}) && (num(p.diasLab) > 0 || num(p.diasSub) > 0))
      line(std::string("Los dias laborados y los dias subsidiados deben ser cero cuando se registra ") +
           "suspensión perfecta para el trabajador " + p.doc);
  }
}

// Rule 31, a warning: every worker (or pensioner) has left or is suspended.
void DeclarationValidator::noActiveNotices() {
  for (int cat : {kWorker, kPensioner}) {
    int all = 0, gone = 0;
    for (const auto& p : persons_) {
      if (p.category != cat) continue;
      ++all;
      gone += in(p.situacNum(), {12, 13, 14, 15});
    }
    if (all > 0 && gone == all) warn(noActiveNotice(cat == kPensioner));
  }
}

void DeclarationValidator::daysAndRegistry() {
  auto& db = s_.database();
  int monthDays = daysInMonth(num(periodYear(d_.periodo)), num(periodMonth(d_.periodo)));
  std::map<std::pair<std::int64_t, int>, data::Row> registry;
  for (auto& r : db.rows("SELECT correl_a, cod_cat_tra, situac, tipo, pension, ind_afieps, ruceps, cod_eps FROM "
                         "ASEG_DET_LAB WHERE tip_doc_d = 6 AND doc_id_d = ? AND cod_cat_tra IN (1, 2)",
                         {d_.ruc}))
    registry.emplace(std::make_pair(r.integer(0), static_cast<int>(r.integer(1))), std::move(r));
  for (const auto& p : persons_) {
    if (p.category != kWorker) continue;
    auto it = registry.find({p.correl, p.category});
    if (it != registry.end()) {
      const auto& reg = it->second;
      const std::string tail = " Guardar, luego refrescar y guardar nuevamente.";
      if (num(reg.text(3)) != p.tipoNum())
        line("El Tipo es distinto al ingresado en el registro para el trabajador " + p.doc + tail);
      if (num(reg.text(2)) != p.situacNum())
        line("La Situación es distinta a la ingresada en el registro para el trabajador " + p.doc + tail);
      if (reg.integer(4) != p.pension)
        line("El régimen pensionario es distinto al ingresado en el registro para el trabajador " + p.doc + tail);
    }
    if (num(p.diasLab) > monthDays)
      line(
          "Los dias laborados exceden los dias del mes. Corregir los periodos laborales en el registro del "
          "trabajador " +
          p.doc);
    // Rule 34: the EPS data of the working row against the registry.
    const std::string fix = ". Ingrese a los datos del registro del trabajador, verifique y grabe.";
    if (p.indAfiEps == "1" && p.rucEps.empty()) line("No ha registrado RUC de la EPS del trabajador " + p.doc);
    if (it != registry.end()) {
      const auto& reg = it->second;
      std::string regAfi = text::trim(reg.text(5)), regRuc = text::trim(reg.text(6)), regCod = text::trim(reg.text(7));
      if ((regAfi == "1") != (p.indAfiEps == "1"))
        line("El indicador de afiliación a EPS del trabajador " + p.doc + " no corresponde" + fix);
      else if (p.indAfiEps != "1" && !p.rucEps.empty())
        line("No debe registrar RUC de la EPS del trabajador " + p.doc + fix);
      else if (p.indAfiEps == "1" && p.codEps.empty() != regCod.empty())
        line("El código de EPS del trabajador " + p.doc + " no corresponde" + fix);
      else if (p.indAfiEps == "1" && !p.rucEps.empty() && p.rucEps != regRuc)
        line("Esta registrado con un RUC de EPS incorrecto para el trabajador " + p.doc);
      else if (p.indAfiEps == "1" && p.codEps != regCod)
        line("Esta registrado con código de EPS incorrecto para el trabajador " + p.doc);
    }
    bool anyConcept = false;
    for (const auto& c : p.concepts) anyConcept = anyConcept || !blank(c.monto) || !blank(c.montoPag) || !blank(c.base);
    if (!anyConcept) line("Registrar conceptos del trabajador, documento: " + p.doc);
  }
  bool fcjRefresh = false;
  for (const auto& p : persons_)
    if (p.category == kWorker && in(p.tipoNum(), {32, 37, 38}) &&
        (p.pension == 2 || (p.pension >= 21 && p.pension <= 24)) && blank(p.aporteFcjmms) &&
        Money::value(p.totIngresos) > Money() && d_.periodo >= "201205")
      fcjRefresh = true;
  if (fcjRefresh)
    line("Para regularizar su declaración de " + periodToDisplay(d_.periodo) +
         " debe refrescar la declaración, así podrá recalcular el nuevo tributo FCJMMS");
  int asegura = 0, with0612 = 0;
  for (const auto& p : persons_) {
    if (p.category != kWorker) continue;
    // The registry's "Asegura tu pensión" amount of the worker; 0612 carries it.
    asegura += Money::value(p.asegPens) > Money();
    with0612 += p.hasAmount("0612");
  }
  if (asegura != with0612) line("Han habido cambios en el registro referente a Asegura tu pensión. Debe refrescar.");
  for (const auto& p : persons_)
    if (p.category == kWorker && p.tipoNum() == 67 && d_.periodo < "200806" && !blank(p.remAfecta))
      line("No debe registrar información de 5ta para tipo 67, documento: " + p.doc + " . Debe refrescar.");
  for (const auto& p : persons_) {
    if (p.category != kPensioner) continue;
    bool anyConcept = false;
    for (const auto& c : p.concepts) anyConcept = anyConcept || !blank(c.monto) || !blank(c.montoPag);
    if (blank(p.totIngresos))
      line("Registrar información del pensionista, documento: " + p.doc);
    else if (!anyConcept)
      line("Registrar conceptos del pensionista, documento: " + p.doc);
  }
}

// What a run reads once is read again by the next: the registry or the concepts may have changed.
void DeclarationValidator::resetRun() {
  warnings_.clear();
  asStored_ = true;
  blankCodes_.clear();
  dropped0807_.clear();
  taxTotals_.clear();
  essalud_.reset();
  periods_.reset();
}

bool DeclarationValidator::rules(DebtDetermination& g) {
  Progress& p = *progress_;
  p.step(steps::kValidating);
  constexpr long long groups = 11;
  p.tick(0, groups);
  if (!header()) return false;
  loadPersons();
  p.tick(1, groups);
  labourPeriods();
  p.tick(2, groups);
  otherPersons();
  p.tick(3, groups);
  concepts();
  p.tick(4, groups);
  suspensions();
  p.tick(5, groups);
  noActiveNotices();
  p.tick(6, groups);
  daysAndRegistry();
  p.tick(7, groups);
  grid(g);
  p.tick(8, groups);
  taxTotals(g);
  p.tick(9, groups);
  version();
  sctrRates();
  p.tick(10, groups);
  if (!ValidaCasillasDetDeuda(g)) r_.inconsistent = true;
  p.advance(groups, groups);
  return true;
}

ValidationResult DeclarationValidator::CmdValidar_Click(const std::filesystem::path& mens, Progress& progress) {
  silent_ = false;
  r_ = {};
  resetRun();
  prepareHeldConcepts();
  progress_ = &progress;
  // The file is created anew by every run, so the report never shows an older run.
  std::error_code ec;
  std::filesystem::remove(mens, ec);
  DebtDetermination g(s_, d_);
  g.load();
  try {
    if (!rules(g)) return r_;
  } catch (const Cancelled&) {
    // The run only reads: stopped half-way it leaves no report behind.
    r_ = {};
    r_.stopped = r_.cancelled = true;
    s_.msg().info(kCancelledText, "Validación");
    return r_;
  }
  {
    std::ofstream out(mens, std::ios::binary | std::ios::trunc);
    for (const auto& l : r_.lines) out << l << "\r\n";
  }
  if (EPS_Invalida(s_.database(), d_)) s_.msg().critical(epsInvalidaText(), "Validación");
  if (!r_.inconsistent) s_.msg().warning("La declaración no presenta inconsistencias.", "Validación");
  return r_;
}

// The rows the save leaves out are seen by the rules only through rule 20 (a row of an
// ESSALUD-affected concept offers it), the positive base of a contribution and whether a worker
// has any concept: without such a case, the stored declaration reads as the one checked.
bool DeclarationValidator::readsAsStored() {
  if (!asStored_) return false;
  if (blankCodes_.empty() && dropped0807_.empty()) return true;
  const auto& essalud = essaludConcepts();
  for (const auto& code : blankCodes_)
    if (essalud.count(code)) return false;
  if (!dropped0807_.empty() && essalud.count("0807")) return false;
  for (const auto& [person, base] : dropped0807_) {
    if (Money::value(base) <= Money()) return false;
    bool other = false;
    for (const auto& c : persons_[person].concepts)
      other = other || (c.codigo != "0807" && (!blank(c.monto) || !blank(c.montoPag) || !blank(c.base)));
    if (!other) return false;
  }
  return true;
}

SaveCheckResult DeclarationValidator::saveChecks(Progress& progress) {
  silent_ = true;
  r_ = {};
  resetRun();
  progress_ = &progress;
  SaveCheckResult out;
  prepareHeldConcepts();
  std::string count = registryCountDifference();
  if (!count.empty()) {
    out.stop = true;
    out.message = count;
    return out;
  }
  DebtDetermination g(s_, d_);
  g.load();
  out.boxes = g.filledBoxes();
  rules(g);
  out.inconsistent = r_.inconsistent;
  out.validation = {r_.stopped,          r_.stopMessage,       r_.inconsistent,
                    std::move(r_.lines), std::move(warnings_), readsAsStored()};
  return out;
}

}  // namespace korventa::determination
