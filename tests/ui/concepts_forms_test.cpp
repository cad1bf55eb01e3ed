// The concept maintenance form and the affectation dialog, driven through their widgets.

#include "reference/ui/frm_afecta.h"
#include "reference/ui/zelpla_mant001.h"
#include "ui/form_test_kit.h"

namespace korventa::uitest {

namespace {

constexpr const char* kRuc = "20503987610";

int rowOf(QTableWidget* grid, const QString& code) {
  for (int r = 0; r < grid->rowCount(); ++r)
    if (grid->item(r, 1)->text() == code) return r;
  return -1;
}

}  // namespace

class ConceptFormsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TestDb> t_;
  std::unique_ptr<QDialog> form_;

  void open() { form_ = shown(std::make_unique<ui::zelpla_Mant001>(t_->session())); }
  template <class W>
  W* child(const char* name) {
    return uitest::child<W>(form_.get(), name);
  }
  void choose(const char* combo, const QString& data) { uitest::choose(child<QComboBox>(combo), data); }
  QTableWidget* grid() { return child<QTableWidget>("grdConceptos"); }
  // estado/ind_ref of the declarations, by period.
  QString marks() {
    return qstr(
        t_->db().text("SELECT group_concat(estado || '/' || ind_ref) FROM (SELECT * FROM CAB ORDER BY periodo)"));
  }
  QString affectation() {
    return qstr(t_->db().text("SELECT afectacion FROM TRIBUT_AFECTA WHERE doc_id_d = ? AND codigo = '1001'", {kRuc}));
  }

 private slots:
  void init() {
    t_ = std::make_unique<test::TestDb>(true);
    t_->session().user = "CONTADOR";
    t_->db().run(
        "INSERT INTO CAB (tip_doc_d, doc_id_d, periodo, Formulario, estado, ind_ref) VALUES "
        "(6, ?, '201205', '0601', 0, 0), (6, ?, '201204', '0601', 1, 0)",
        {kRuc, kRuc});
  }
  void cleanup() {
    form_.reset();
    t_.reset();
  }

  void selectGroupToggleSaveAndReopen() {
    open();
    QCOMPARE(form_->windowTitle(), QString("Mantenimiento de conceptos"));
    // Nothing to save nor group to choose before a declarant is chosen.
    QVERIFY(!child<QPushButton>("CmdGrabar")->isEnabled());
    QVERIFY(!child<QComboBox>("cboRubroConcepto")->isEnabled());
    choose("cboDeclarantes", kRuc);
    QCOMPARE(child<QLineEdit>("txtRazon")->text(), QString("CORPORACIÓN INDUSTRIAL ANDES DEL PACÍFICO S.A.A."));
    choose("cboRubroConcepto", "0100");
    QCOMPARE(grid()->rowCount(), 27);
    int r121 = rowOf(grid(), "0121"), r122 = rowOf(grid(), "0122");
    QCOMPARE(grid()->item(r121, 0)->checkState(), Qt::Checked);
    QCOMPARE(grid()->item(r122, 0)->checkState(), Qt::Unchecked);
    // Space on the check cell flips the mark.
    grid()->setFocus();
    for (int r : {r121, r122}) {
      grid()->setCurrentCell(r, 0);
      QTest::keyClick(grid()->viewport(), Qt::Key_Space);
    }
    QCOMPARE(grid()->item(r121, 0)->checkState(), Qt::Unchecked);
    QCOMPARE(grid()->item(r122, 0)->checkState(), Qt::Checked);
    // The whole allowance group off.
    choose("cboRubroConcepto", "0200");
    QTest::mouseClick(child<QPushButton>("cmdDeSelectAll"), Qt::LeftButton);
    for (int r = 0; r < grid()->rowCount(); ++r) QCOMPARE(grid()->item(r, 0)->checkState(), Qt::Unchecked);

    QTest::mouseClick(child<QPushButton>("CmdGrabar"), Qt::LeftButton);
    QCOMPARE(qstr(t_->messenger().last()), QString("Se grabaron satisfactoriamente los conceptos"));
    std::string saved = t_->db().text(
        "SELECT group_concat(cod_concepto, ',') FROM (SELECT cod_concepto FROM "
        "CON_AFEC WHERE doc_id_d = ? ORDER BY cod_concepto)",
        {kRuc});
    QVERIFY(saved.find("0122") != std::string::npos);
    QVERIFY(saved.find("0121") == std::string::npos);
    QVERIFY(saved.find(",02") == std::string::npos);
    QCOMPARE(marks(), QString("1/1,9/1"));  // both declarations marked for refresh

    // A new form shows what was saved.
    open();
    choose("cboDeclarantes", kRuc);
    choose("cboRubroConcepto", "0100");
    QCOMPARE(grid()->item(rowOf(grid(), "0121"), 0)->checkState(), Qt::Unchecked);
    QCOMPARE(grid()->item(rowOf(grid(), "0122"), 0)->checkState(), Qt::Checked);
    QCOMPARE(grid()->item(rowOf(grid(), "0105"), 0)->checkState(), Qt::Checked);
    choose("cboRubroConcepto", "0200");
    QTest::mouseClick(child<QPushButton>("cmdSelAll"), Qt::LeftButton);
    for (int r = 0; r < grid()->rowCount(); ++r) QCOMPARE(grid()->item(r, 0)->checkState(), Qt::Checked);
  }

  // An own concept (group 1000) has its description edited in the grid and its affectation set;
  // the concepts of the fixed groups have neither.
  void ownConceptDescriptionAndAffectation() {
    open();
    choose("cboDeclarantes", kRuc);
    choose("cboRubroConcepto", "0100");
    QVERIFY(!(grid()->item(0, 2)->flags() & Qt::ItemIsEditable));
    QVERIFY(!child<QPushButton>("cmdAfectacion")->isEnabled());
    choose("cboRubroConcepto", "1000");
    QCOMPARE(grid()->item(0, 2)->text(), QString("BONO POR METAS DE PRODUCCIÓN"));
    QVERIFY(grid()->item(0, 2)->flags() & Qt::ItemIsEditable);

    auto edit = [&](const QString& text) -> QLineEdit* {
      grid()->setCurrentCell(0, 2);
      grid()->editItem(grid()->item(0, 2));
      auto* editor = grid()->viewport()->findChild<QLineEdit*>();
      if (editor) editor->setText(text);
      return editor;
    };
    QLineEdit* editor = edit("");
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Return);  // the view commits it from the event loop
    QTRY_COMPARE(qstr(t_->messenger().last()), QString("Debe ingresar la descripción del concepto"));
    QCOMPARE(grid()->item(0, 2)->text(), QString("BONO POR METAS DE PRODUCCIÓN"));

    // Saving while the editor is still open takes the text typed.
    QVERIFY(edit("BONO ANUAL DE METAS"));
    child<QPushButton>("CmdGrabar")->click();
    QCOMPARE(qstr(t_->messenger().last()), QString("Se grabaron satisfactoriamente los conceptos"));
    QCOMPARE(qstr(t_->db().text("SELECT desc_concepto FROM conceptos_remu WHERE doc_id_d = ? AND cod_concepto = '1001'",
                                {kRuc})),
             QString("BONO ANUAL DE METAS"));
    open();  // a new form shows the saved description
    choose("cboDeclarantes", kRuc);
    choose("cboRubroConcepto", "1000");
    QCOMPARE(grid()->item(0, 2)->text(), QString("BONO ANUAL DE METAS"));

    // The affectation of the current own concept marks the declarations for refresh again.
    t_->db().run("UPDATE CAB SET estado = CASE periodo WHEN '201204' THEN 1 ELSE 0 END, ind_ref = 0");
    grid()->setCurrentCell(0, 1);
    QVERIFY(child<QPushButton>("cmdAfectacion")->isEnabled());

    QStringList seen;
    QTimer::singleShot(0, this, [&] {
      auto* d = qobject_cast<ui::FrmAfecta*>(QApplication::activeModalWidget());
      if (!d) return;
      seen << d->windowTitle();
      for (int i : {0, 10, 12}) seen << d->findChild<QPushButton*>(QString("cmdAfecta_%1").arg(i))->text();
      seen << d->findChild<QLabel*>("lblAfecta_9")->text();
      QTest::mouseClick(d->findChild<QPushButton*>("cmdAfecta_0"), Qt::LeftButton);
      QTest::mouseClick(d->findChild<QPushButton*>("cmdAfecta_10"), Qt::LeftButton);
      seen << d->findChild<QPushButton*>("cmdAfecta_0")->text();
      QTest::mouseClick(d->findChild<QPushButton*>("CmdAceptar"), Qt::LeftButton);
    });
    QTest::mouseClick(child<QPushButton>("cmdAfectacion"), Qt::LeftButton);
    QCOMPARE(seen, (QStringList{"Afectación", "SI", "NO", "SI", "RENTA 5TA CATEGORÍA RETENCIONES", "NO"}));
    QCOMPARE(affectation(), QString("0111111111101"));
    QCOMPARE(
        qstr(t_->db().text("SELECT des_concepto FROM CON_ADIC WHERE doc_id_d = ? AND cod_concepto = '1001'", {kRuc})),
        QString("0111111111101"));
    QCOMPARE(marks(), QString("1/1,9/1"));  // both declarations marked for refresh

    // "&Salir" writes nothing.
    t_->db().run("UPDATE CAB SET estado = 0, ind_ref = 0");
    QTimer::singleShot(0, this, [] {
      auto* d = qobject_cast<ui::FrmAfecta*>(QApplication::activeModalWidget());
      if (!d) return;
      QTest::mouseClick(d->findChild<QPushButton*>("cmdAfecta_5"), Qt::LeftButton);
      QTest::mouseClick(d->findChild<QPushButton*>("CmdSalir"), Qt::LeftButton);
    });
    QTest::mouseClick(child<QPushButton>("cmdAfectacion"), Qt::LeftButton);
    QCOMPARE(affectation(), QString("0111111111101"));
    QCOMPARE(qstr(t_->db().text("SELECT max(ind_ref) FROM CAB")), QString("0"));
  }
};

KORVENTA_UI_TEST(ConceptFormsTest)

}  // namespace korventa::uitest

#include "concepts_forms_test.moc"
