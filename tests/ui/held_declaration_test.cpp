// A declaration that another session has open in its module: "Modificar" says who has it and
// since when, and opens no form; once the other session closes it, it opens.
#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include "data/servicios_comunes.h"
#include "data/sessions.h"
#include "declaration/declaration_form.h"
#include "declaration/ui/catalogue_dialogs.h"
#include "ui/form_test_kit.h"

using namespace korventa;
using uitest::qstr;

namespace {

using uitest::child;

class HeldDeclarationTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { t_ = std::make_unique<uitest::DemoDb>(); }
  void cleanup() { t_.reset(); }

  void modifyRefusesADeclarationOpenElsewhere() {
    auto& s = t_->session();
    QVERIFY(uitest::saveDemoDeclaration(s));
    // The other program: its own connection, its own user.
    RecordingMessenger otherMsg;
    Session other;
    other.db = data::Database::open(s.db->path());
    other.messenger = &otherMsg;
    other.servicios->setMessenger(&otherMsg);
    other.user = "ASISTENTE";
    auto holder = std::make_unique<declaration::DeclarationForm>(other);
    QVERIFY(holder->openDeclaration("20503987610", "201206"));

    auto chooser = uitest::shown(std::make_unique<ui::FrmContAbrir>(s, false, Mode::Modify));
    QString opened;
    auto closeAnyForm = [&] {
      if (QWidget* m = QApplication::activeModalWidget(); m && m->objectName() == "Frm402") {
        opened = m->objectName();
        QTest::mouseClick(child<QPushButton>(m, "CmdCancelar"), Qt::LeftButton);
      }
    };
    QTimer::singleShot(0, closeAnyForm);
    QTest::mouseClick(child<QPushButton>(chooser.get(), "CmdAccion"), Qt::LeftButton);
    QCOMPARE(opened, QString());
    QString text = qstr(t_->messenger().last());
    QVERIFY2(text.startsWith("Registro bloqueado. Intente luego\nLa declaración 20503987610 06/2012 está abierta en "
                             "otra sesión por el usuario ASISTENTE en el equipo " +
                             qstr(data::hostName()) + " desde el "),
             qPrintable(text));

    holder->closeWithoutSaving();
    QTimer::singleShot(0, closeAnyForm);
    QTest::mouseClick(child<QPushButton>(chooser.get(), "CmdAccion"), Qt::LeftButton);
    QCOMPARE(opened, QString("Frm402"));
    chooser->close();
  }

 private:
  std::unique_ptr<uitest::DemoDb> t_;
};

}  // namespace

KORVENTA_UI_TEST(HeldDeclarationTest)
#include "held_declaration_test.moc"
