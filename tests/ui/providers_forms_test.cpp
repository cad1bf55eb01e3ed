// The provider header, the voucher dialog and the trainee form, driven through their widgets:
// a provider with a fee receipt and a credit note and a trainee with two establishments are
// recorded, saved into the stored tables and reopened.

#include <QPointer>
#include <QRegularExpression>

#include "detail/receipts_save.h"
#include "detail/ui/frm601mfdet.h"
#include "detail/ui/frm61501.h"
#include "ui/form_test_kit.h"

namespace korventa::uitest {

namespace {
constexpr const char* kRuc = "20503987610";

}  // namespace

class ProvidersFormsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TestDb> t_;
  model::OpenDeclaration decl_;

  // "Nuevo" on the provider header: the voucher dialog it shows, with the kind chosen.
  QDialog* newVoucher(QWidget* header, const QString& kind) {
    QTest::mouseClick(child<QPushButton>(header, "CmdNuevoRec"), Qt::LeftButton);
    QApplication::processEvents();
    for (auto* d : header->findChildren<QDialog*>("Frm61502")) {
      if (!d->isVisible()) continue;
      auto* kinds = child<QComboBox>(d, "cboTipoServ");
      kinds->setCurrentIndex(kinds->findData(kind));
      return d;
    }
    return nullptr;
  }

  void enterVoucher(QWidget* header, const QString& kind, const QString& number, const QString& amount,
                    const QString& expectedRetention, const char* shotName) {
    QDialog* v = newVoucher(header, kind);
    QVERIFY(v);
    auto* serie = child<QLineEdit>(v, "TxtSerie");
    QTest::keyClicks(serie, "e-");  // letters are upper-cased, signs refused
    QCOMPARE(serie->text(), QString("E"));
    QCOMPARE(t_->messenger().last(), std::string("Caracter no permitido"));
    serie->clear();
    QTest::keyClicks(serie, "0001");
    QTest::keyClicks(child<QLineEdit>(v, "TxtNumero"), number);
    child<ui::DateEdit>(v, "mskFec_Emi")->setText("10/09/2012");
    child<ui::DateEdit>(v, "mskFec_ini")->setText("01/09/2012");
    child<ui::DateEdit>(v, "mskFec_Fin")->setText("05/09/2012");
    child<ui::DateEdit>(v, "mskFec_Pago")->setText("20/09/2012");
    auto* monto = child<QLineEdit>(v, "TxtMonto");
    QTest::keyClicks(monto, amount);
    emit monto->editingFinished();
    QCOMPARE(child<QLineEdit>(v, "TxtMtoRta")->text(), expectedRetention);
    screenshot(v, shotName);
    QPointer<QDialog> alive(v);
    QTest::mouseClick(child<QPushButton>(v, "CmdAceptar"), Qt::LeftButton);
    QApplication::processEvents();
    QVERIFY2(!alive || !alive->isVisible(), t_->messenger().last().c_str());
  }

 private slots:
  void init() {
    t_ = std::make_unique<test::TestDb>(true);
    decl_ = {};
    decl_.ruc = kRuc;
    decl_.name = "CORPORACIÓN INDUSTRIAL ANDES DEL PACÍFICO S.A.A.";
    decl_.periodo = "201209";
    // The working set of the declaration holds its trainees.
    t_->db().run(
        "INSERT INTO TMPF601MFCAB (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, tip_doc_a, "
        "doc_id_a, APELLIDO_P, APELLIDO_M, NOMBRE_1) VALUES (6, ?, '201209', '0601', 23, 5, 1, '72345678', "
        "'PÉREZ', 'CAMPOS', 'DIANA')",
        {kRuc});
  }
  void cleanup() { t_.reset(); }

  void recordsProviderWithTwoReceiptsAndTrainee() {
    auto& s = t_->session();
    {
      auto header = shown(ui::Frm61501::open(s, decl_, PersonKey{}, false));
      auto* registrados = child<QComboBox>(header.get(), "CmbRegistrados");
      int gutierrez = registrados->findText("GUTIÉRREZ LOZANO PATRICIA  -  10411223341");
      QVERIFY(gutierrez > 0);
      registrados->setCurrentIndex(gutierrez);
      emit registrados->activated(gutierrez);
      QCOMPARE(child<QLineEdit>(header.get(), "TxtNumDoc")->text(), QString("10411223341"));

      enterVoucher(header.get(), "R", "123", "2000", "200.00", "Frm61502_recibo");
      enterVoucher(header.get(), "N", "124", "-200", "(20.00)", "Frm61502_nota");

      auto* grid = child<QTableWidget>(header.get(), "grdRecibos");
      QCOMPARE(grid->rowCount(), 2);
      // Listed by kind: the credit note first.
      QCOMPARE(grid->item(0, 8)->text(), QString("(20.00)"));
      QCOMPARE(grid->item(1, 5)->text(), QString("2,000.00"));
      // The document that keys the vouchers can no longer change.
      QVERIFY(child<QLineEdit>(header.get(), "TxtNumDoc")->isReadOnly());
      screenshot(header.get(), "Frm61501");
      QTest::mouseClick(child<QPushButton>(header.get(), "CmdAceptar"), Qt::LeftButton);
      QVERIFY(!header->isVisible());
      QCOMPARE(t_->messenger().last(), std::string("La información fue grabada satisfactoriamente. "));
    }
    {
      // Her document typed into a new header opens her, names and vouchers, after saying so.
      auto header = shown(ui::Frm61501::open(s, decl_, PersonKey{}, false));
      auto* doc = child<QLineEdit>(header.get(), "TxtNumDoc");
      QTest::keyClicks(doc, "10411223341");
      emit doc->editingFinished();
      QVERIFY(t_->messenger().last().starts_with("El documento 10411223341 ya fue ingresado"));
      QCOMPARE(child<QLineEdit>(header.get(), "TxtNombre1")->text(), QString("PATRICIA"));
      QCOMPARE(child<QTableWidget>(header.get(), "grdRecibos")->rowCount(), 2);
      QVERIFY(doc->isReadOnly());
      header->reject();
    }

    const PersonKey trainee{23, 1, "72345678", kTrainee};
    {
      auto mf = shown(ui::Frm601MFDET::open(s, decl_, trainee, true));
      auto* list = child<QListWidget>(mf.get(), "lstHorario");
      QCOMPARE(list->count(), 7);
      QTest::keyClicks(child<QLineEdit>(mf.get(), "TxtMonto"), "930");
      // Without establishments the trainee is refused.
      QTest::mouseClick(child<QPushButton>(mf.get(), "CmdAceptaRec"), Qt::LeftButton);
      QCOMPARE(t_->messenger().last(), std::string("Debe seleccionar por lo menos un establecimeinto"));
      QVERIFY(mf->isVisible());
      list->item(0)->setSelected(true);
      list->item(2)->setSelected(true);
      screenshot(mf.get(), "Frm601MFDET");
      QTest::mouseClick(child<QPushButton>(mf.get(), "CmdAceptaRec"), Qt::LeftButton);
      QVERIFY(!mf->isVisible());
    }

    // The save copies the working rows; the fourth-category boxes come from the receipts.
    detail::Graba_Rta(t_->db(), decl_);
    detail::Graba_ModForm(t_->db(), decl_);
    QCOMPARE(t_->db().integer("SELECT count(*) FROM F601RDDET"), 2);
    QCOMPARE(t_->db().integer("SELECT count(*) FROM F601RDCAB"), 2);
    QCOMPARE(t_->db().text("SELECT group_concat(cod_estab) FROM F601_ESTABMF"), std::string("1,3"));
    auto boxes = model::Suma_Montos(t_->db(), decl_, model::VoucherSource::Stored);
    QCOMPARE(boxes.value("320"), std::string("1800"));
    QCOMPARE(boxes.value("321"), std::string("180"));

    // Reopened: the provider shows both vouchers, the trainee both establishments.
    // One voucher without retention (stored "0", as entry and import write it).
    t_->db().run(
        "UPDATE TMPF601RDDET SET ind_rta = '0', por_rta = '0' WHERE rowid = (SELECT min(rowid) FROM TMPF601RDDET)");
    {
      auto header = shown(ui::Frm61501::open(s, decl_, PersonKey{17, 6, "10411223341", kProvider}, true));
      auto* grid = child<QTableWidget>(header.get(), "grdRecibos");
      QCOMPARE(grid->rowCount(), 2);
      // "% Ret." with two decimals on every row.
      QStringList rates;
      for (int r = 0; r < grid->rowCount(); ++r) rates << grid->item(r, 7)->text();
      rates.sort();
      QCOMPARE(rates, QStringList({"0.00", "10.00"}));
      QCOMPARE(child<QLabel>(header.get(), "lblCantidad1")->text(), QString("Cantidad de Notas de Crédito: 1"));
    }
    {
      auto mf = shown(ui::Frm601MFDET::open(s, decl_, trainee, true));
      auto* list = child<QListWidget>(mf.get(), "lstHorario");
      QCOMPARE(list->selectedItems().size(), 2);
      QCOMPARE(child<QLineEdit>(mf.get(), "TxtMonto")->text(), QString("930.00"));
    }
  }
};

KORVENTA_UI_TEST(ProvidersFormsTest)

}  // namespace korventa::uitest

#include "providers_forms_test.moc"
