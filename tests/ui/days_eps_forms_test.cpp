// The days, SCTR and EPS forms driven through their widgets: a subsidised suspension recorded from
// the days form, an establishment with its SCTR rate, and an EPS invoice of box 602.

#include "detail/ui/frm_601_detalle.h"
#include "detail/ui/frm_605.h"
#include "detail/ui/frm_dias_horas.h"
#include "detail/ui/frm_eps.h"
#include "ui/form_test_kit.h"

namespace korventa::uitest {

namespace {
constexpr const char* kRuc = "20503987610";
}

class DaysEpsFormsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<DemoDb> t_;
  model::OpenDeclaration decl_;
  PersonKey person_;  // the person the detail forms open on
  std::unique_ptr<QDialog> form_;

  data::Database& db() { return t_->db(); }

  // The demo worker's working row, as the declaration form leaves it.
  void addWorker(long correl) {
    db().run(
        "INSERT INTO TEMP1_F601 (Tip_doc_d, doc_id_d, Correl_a, periodo, formulario, cod_cat_tra, tip_doc_a, "
        "doc_id_a, Situac, Tipo, sctr, pension, Nombre, tip_doc, dias_lab) SELECT 6, d.doc_id_d, d.correl_a, ?, "
        "'0601', 1, d.tip_doc_a, d.doc_id_a, d.situac, d.tipo, d.sctr, d.pension, a.apellido_p || ' ' || "
        "a.apellido_m || ', ' || a.nombre_1, 'DNI', '27' FROM ASEG_DET_LAB d JOIN ASEGVKRS a ON a.doc_id_d = "
        "d.doc_id_d AND a.correl_a = d.correl_a AND a.cod_cat_tra = d.cod_cat_tra WHERE d.doc_id_d = ? AND "
        "d.correl_a = ? AND d.cod_cat_tra = 1",
        {decl_.periodo, std::string(kRuc), correl});
    auto r = db().row("SELECT tip_doc_a, doc_id_a FROM TEMP1_F601 WHERE correl_a = ?", {correl});
    person_ = PersonKey{correl, static_cast<int>(r->integer(0)), r->text(1), kWorker};
  }

  static void type(QLineEdit* e, const QString& text) {
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, text);
    QMetaObject::invokeMethod(e, "editingFinished");
  }

 private slots:
  void init() {
    t_ = std::make_unique<DemoDb>(Date{2013, 1, 15});
    decl_ = {};
    decl_.ruc = kRuc;
    decl_.periodo = "201206";
  }
  void cleanup() {
    form_.reset();
    t_.reset();
  }

  void subsidisedSuspensionFromTheDaysForm() {
    addWorker(2);
    form_ = shown(std::make_unique<ui::frmDiasHoras>(t_->session(), decl_, person_));
    QCOMPARE(child<QLineEdit>(form_.get(), "TxtDiasLab")->text(), QString("27"));

    // A key in the subsidised days opens the list; "Nuevo" opens the detail.
    QTest::keyClick(child<QLineEdit>(form_.get(), "TxtDiasSub"), Qt::Key_3);
    auto* list = child<QDialog>(form_.get(), "frmDias");
    QVERIFY(list->isVisible());
    QTest::mouseClick(child<QPushButton>(list, "cmdDias_0"), Qt::LeftButton);
    auto* det = child<QDialog>(list, "frmDetDias");
    choose(child<QComboBox>(det, "CmbTipoSuspen"), "21");
    type(child<QLineEdit>(det, "MskFechaIni"), "04062012");
    type(child<QLineEdit>(det, "MskFechaFin"), "06062012");
    QCOMPARE(child<QLineEdit>(det, "txtDiasMax")->text(), QString("3"));
    type(child<QLineEdit>(det, "TxtNumCitt"), "A-123");
    type(child<QLineEdit>(det, "TxtDias"), "3");
    QTest::mouseClick(child<QPushButton>(det, "CmdGrabar"), Qt::LeftButton);
    QCOMPARE(qstr(t_->messenger().last()), QString("La información fue grabada satisfactoriamente. "));
    QCOMPARE(child<QLineEdit>(det, "TxtNumCitt")->text(), QString());  // cleared for the next one
    QTest::mouseClick(child<QPushButton>(det, "CmdSalir"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    auto* grid = child<QTableWidget>(list, "grdDias");
    QCOMPARE(grid->rowCount(), 1);
    QCOMPARE(grid->item(0, 4)->text(), QString("A-123"));
    QTest::mouseClick(child<QPushButton>(list, "cmdDias_3"), Qt::LeftButton);
    type(child<QLineEdit>(form_.get(), "TxtHorasNor"), "192");
    type(child<QLineEdit>(form_.get(), "TxtMinutosNor"), "75");
    QCOMPARE(child<QLineEdit>(form_.get(), "TxtMinutosNor")->text(), QString("59"));
    QVERIFY(screenshot(form_.get(), "frmDiasHoras"));
    QTest::mouseClick(child<QPushButton>(form_.get(), "CmdAceptar"), Qt::LeftButton);
    QCOMPARE(qstr(db().text("SELECT dias_sub || '|' || horas_nor FROM TEMP1_F601 WHERE correl_a = 2")),
             QString("3|192.98"));
    QCOMPARE(qstr(db().text("SELECT num_citt || '|' || dias_sub FROM TMPF601DIAS_NOLAB")), QString("A-123|3"));

    // Opened again, the form shows what was recorded, and accepting it unchanged keeps it.
    type(child<QLineEdit>(form_.get(), "TxtHorasSob"), "10");
    type(child<QLineEdit>(form_.get(), "TxtMinutosSob"), "30");
    QTest::mouseClick(child<QPushButton>(form_.get(), "CmdAceptar"), Qt::LeftButton);
    form_ = shown(std::make_unique<ui::frmDiasHoras>(t_->session(), decl_, person_));
    const std::pair<const char*, const char*> shown[] = {
        {"TxtDiasLab", "27"},    {"TxtDiasSub", "3"},   {"TxtTotalDias", "30"},  {"TxtHorasNor", "192"},
        {"TxtMinutosNor", "59"}, {"TxtHorasSob", "10"}, {"TxtMinutosSob", "30"}, {"TxtTotalHoras", "203"}};
    for (const auto& [name, value] : shown) QCOMPARE(child<QLineEdit>(form_.get(), name)->text(), QString(value));
    QTest::mouseClick(child<QPushButton>(form_.get(), "CmdAceptar"), Qt::LeftButton);
    QCOMPARE(qstr(db().text("SELECT dias_lab || '|' || dias_sub || '|' || horas_nor || '|' || horas_sob "
                            "FROM TEMP1_F601 WHERE correl_a = 2")),
             QString("27|3|192.98|10.50"));
  }

  void establishmentAndSctrRate() {
    addWorker(5);
    db().run(
        "INSERT INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, codigo, cod_cat_tra, monto, monto_pag) VALUES "
        "(1, '44876543', 5, '0121', 1, '2500.00', '2500.00'), (1, '44876543', 5, '0806', 1, '', '')");
    form_ = shown(std::make_unique<ui::frmDiasHoras>(t_->session(), decl_, person_));

    QTest::mouseClick(child<QPushButton>(form_.get(), "CmdEstab"), Qt::LeftButton);
    auto* estab = child<QDialog>(form_.get(), "frmEstab");
    auto* items = child<QListWidget>(estab, "lstEstab");
    QCOMPARE(items->count(), 7);
    items->item(1)->setCheckState(Qt::Checked);  // 0002 UNIDAD MINERA SAN CRISTÓBAL
    QTest::mouseClick(child<QPushButton>(estab, "CmdAceptar"), Qt::LeftButton);
    QCOMPARE(child<QLabel>(form_.get(), "LblNumEstab")->text(), QString("1 establecimiento(s)"));

    QTest::mouseClick(child<QPushButton>(form_.get(), "CmdSctr"), Qt::LeftButton);
    auto* dlg = child<QDialog>(form_.get(), "frmSCTR");
    choose(child<QComboBox>(dlg, "CmbRuc"), kRuc);
    choose(child<QComboBox>(dlg, "CmbCorrelativo"), "2");
    auto* tasas = child<QComboBox>(dlg, "CmbTasas");
    QCOMPARE(tasas->itemText(1), QString("1.53"));
    choose(tasas, "1");
    QVERIFY(screenshot(dlg, "frmSCTR"));
    QTest::mouseClick(child<QPushButton>(dlg, "cmdAccion_0"), Qt::LeftButton);
    QCOMPARE(qstr(db().text("SELECT monto || '|' || base_calculo FROM TMPF601CONCEP WHERE codigo = '0806'")),
             QString("38.25|2500.00"));
    QCOMPARE(qstr(db().text("SELECT sctr_tributo FROM TEMP1_F601 WHERE correl_a = 5")), QString("38.25"));
  }

  void epsInvoiceOfBox602() {
    decl_.periodo = "201212";
    form_ = shown(std::make_unique<ui::FrmInf602>(t_->session(), decl_, "602"));
    QCOMPARE(form_->windowTitle(), QString("Detalle de Casilla 602"));
    QTest::mouseClick(child<QPushButton>(form_.get(), "CmdOpciones_0"), Qt::LeftButton);
    auto* inv = child<QDialog>(form_.get(), "FrmInfEPS");
    choose(child<QComboBox>(inv, "CmbEps"), "20414955020");
    type(child<QLineEdit>(inv, "TxtNumSerie"), "F0A1");
    type(child<QLineEdit>(inv, "TxtNumFac"), "123");
    QCOMPARE(child<QLineEdit>(inv, "TxtNumFac")->text(), QString("00000123"));
    type(child<QLineEdit>(inv, "MskFecEmis"), "01122012");
    type(child<QLineEdit>(inv, "MskFecPago"), "15012013");
    // An amount is typed without separators and shown with them once left.
    QApplication::setActiveWindow(inv);
    QVERIFY(QTest::qWaitForWindowActive(inv));
    auto* total = child<QLineEdit>(inv, "TxtImpTotal");
    type(total, "1500");
    type(child<QLineEdit>(inv, "TxtImpCred"), "1500");
    QCOMPARE(total->text(), QString("1,500"));
    total->setFocus();
    QCOMPARE(total->text(), QString("1500"));
    child<QLineEdit>(inv, "TxtImpCred")->setFocus();
    QCOMPARE(total->text(), QString("1,500"));
    QTest::mouseClick(child<QPushButton>(inv, "CmdOpciones_0"), Qt::LeftButton);
    QCOMPARE(inv->result(), int(QDialog::Accepted));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    auto* grid = child<QTableWidget>(form_.get(), "grdEPS");
    QCOMPARE(grid->rowCount(), 1);
    QCOMPARE(grid->item(0, 1)->text(), QString("RÍMAC INTERNACIONAL S.A. EPS"));
    QCOMPARE(child<QLineEdit>(form_.get(), "txtCredito")->text(), QString("1,500"));
    QCOMPARE(child<QLabel>(form_.get(), "LblFacturas")->text(), QString("1  Facturas "));
    QVERIFY(screenshot(form_.get(), "FrmInf602"));
    QTest::mouseClick(child<QPushButton>(form_.get(), "CmdOpciones_3"), Qt::LeftButton);
    QCOMPARE(qstr(db().text("SELECT i_valor FROM DET WHERE Casilla = '602'")), QString("1500"));
    QCOMPARE(qstr(db().text("SELECT Num_Serie || '|' || Fec_pago FROM TMPF600INFEPS")), QString("F0A1|15/01/2013"));
  }

  void thirdPartyAndOtherEmployers() {
    db().run(
        "INSERT INTO TEMP2_F601 (tip_doc_d, doc_id_d, CORREL_A, DOC_ID_A, TIP_DOC, NOMBRE, tip_doc_a) VALUES "
        "(6, ?, 20, '45678123', 'DNI', 'ORTIZ MEDINA, RAÚL', 1)",
        {std::string(kRuc)});
    person_ = PersonKey{20, 1, "45678123", kThirdParty};
    form_ = shown(std::make_unique<ui::Frm601Detalle>(t_->session(), decl_, person_));
    choose(child<QComboBox>(form_.get(), "CmbRuc"), kRuc);
    choose(child<QComboBox>(form_.get(), "CmbCorrelativo"), "2");
    choose(child<QComboBox>(form_.get(), "CmbTasas"), "2");
    type(child<QLineEdit>(form_.get(), "TxtRemSctr"), "1000");
    QCOMPARE(child<QLineEdit>(form_.get(), "TxtSCTR")->text(), QString("6.30"));
    QVERIFY(screenshot(form_.get(), "Frm601Detalle"));
    QTest::mouseClick(child<QPushButton>(form_.get(), "CmdGrabar"), Qt::LeftButton);
    QCOMPARE(qstr(db().text("SELECT sctrs FROM TEMP2_F601")), QString("6.30"));

    addWorker(4);
    form_ = shown(std::make_unique<ui::frm605>(t_->session(), decl_, person_));
    QTest::mouseClick(child<QPushButton>(form_.get(), "cmd605_0"), Qt::LeftButton);
    auto* det = child<QDialog>(form_.get(), "frm605Det");
    child<QComboBox>(det, "CmbRuc")->setCurrentIndex(0);
    QCOMPARE(child<QLineEdit>(det, "TxtNombre")->text(), QString("CONSULTORA GEOTÉCNICA DEL PACÍFICO S.A.C."));
    type(child<QLineEdit>(det, "TxtMonto"), "850.5");
    QTest::mouseClick(child<QPushButton>(det, "CmdGrabar"), Qt::LeftButton);
    QCOMPARE(qstr(t_->messenger().last()), QString("La información fue grabada satisfactoriamente. "));
    QCOMPARE(child<QLineEdit>(form_.get(), "TxtTotal")->text(), QString("850.50"));
    QTest::mouseClick(child<QPushButton>(det, "CmdSalir"), Qt::LeftButton);
    QVERIFY(screenshot(form_.get(), "frm605"));
    QCOMPARE(child<QTableWidget>(form_.get(), "grd605")->rowCount(), 1);
  }
};

KORVENTA_UI_TEST(DaysEpsFormsTest)

}  // namespace korventa::uitest

#include "days_eps_forms_test.moc"
