// Window tests of the keyboard and of assistive technology: Enter on a
// focused button, Ctrl+Z after a name command, the name every control gives a
// screen reader, and captions that keep their size under a large system font.
#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <map>
#include <string>

#include "registry.h"
#include "ui/control_table.h"
#include "ui/widgets.h"
#include "window_fixture.h"

using namespace velmora;
using velmora::testing::ReadBytes;

class FrmQuickRenKeyboardTest : public velmora::testing::WindowFixture {
  Q_OBJECT

 private:
  void FocusOn(const QString& name) {
    QWidget* w = Control(name);
    QVERIFY2(w != nullptr, qPrintable(name));
    w->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), w);
  }

 private slots:
  void init() { Reset(); }
  void cleanup() { window_.reset(); }

  // ------------------------------------------------------------ Enter on a button

  void enterPressesTheFocusedButton_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("base");    // the base name afterwards
    QTest::addColumn<QString>("outcome");  // "open", "renamed" or "closed"
    // The base name starts as "my file" with "my" selected.
    QTest::newRow("ABC") << "btnUCase" << int(Qt::Key_Return) << "MY FILE" << "open";
    QTest::newRow("ABC, keypad Enter") << "btnUCase" << int(Qt::Key_Enter) << "MY FILE" << "open";
    QTest::newRow("Abc Def") << "btnTitleCase" << int(Qt::Key_Return) << "My File" << "open";
    QTest::newRow("Remove Spc") << "Command2" << int(Qt::Key_Return) << "myfile" << "open";
    QTest::newRow("delete picture") << "picDel" << int(Qt::Key_Return) << " file" << "open";
    QTest::newRow("restore picture") << "btnRefresh" << int(Qt::Key_Enter) << "my file" << "open";
    QTest::newRow("Space still presses") << "btnUCase" << int(Qt::Key_Space) << "MY FILE" << "open";
    QTest::newRow("Rename!") << "cmdRename" << int(Qt::Key_Return) << "" << "renamed";
    QTest::newRow("Cancel") << "cmdCancel" << int(Qt::Key_Return) << "" << "closed";
    // Not a button: nothing happens, and no button is pressed in its stead.
    QTest::newRow("path field") << "txtFileName" << int(Qt::Key_Return) << "my file" << "open";
    QTest::newRow("list") << "cboWords" << int(Qt::Key_Return) << "my file" << "open";
  }
  void enterPressesTheFocusedButton() {
    QFETCH(QString, control);
    QFETCH(int, key);
    QFETCH(QString, base);
    QFETCH(QString, outcome);
    QVERIFY(OpenOn("my file.txt", "mine"));
    Base()->setSelection(0, 2);
    FocusOn(control);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key),
                    key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    if (outcome == "open") {
      QVERIFY(window_->isVisible());
      QCOMPARE(Base()->text(), base);
      QCOMPARE(DataFiles(), QStringList{"my file.txt"});
    } else {
      QTRY_VERIFY(!window_->isVisible());
      // Rename! renames to the unchanged name: a blank undo line. Cancel writes nothing.
      QCOMPARE(ReadBytes(UndoLog()), outcome == "renamed" ? QByteArray("\r\n") : QByteArray());
    }
    QVERIFY(desktop_.messages.empty());
  }

  void enterInTheBaseNameStillRenames() {
    QVERIFY(OpenOn("old.txt"));
    QTest::keyClicks(Base(), "new");
    QTest::keyClick(Base(), Qt::Key_Enter, Qt::KeypadModifier);
    QTRY_VERIFY(!window_->isVisible());
    QCOMPARE(DataFiles(), QStringList{"new.txt"});
    for (auto* b : window_->findChildren<QPushButton*>()) {
      QVERIFY2(!b->isDefault() && !b->autoDefault(), qPrintable(b->objectName()));
    }
  }

  // ------------------------------------------------------------ Ctrl+Z

  void ctrlZUndoesACommand_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("before");  // the base name before the command
    QTest::addColumn<QString>("after");
    const struct {
      const char *control, *before, *after;
    } rows[] = {
        {"btnUCase", "my-File_x", "MY-FILE_X"},
        {"btnLCase", "my-File_x", "my-file_x"},
        {"btnTitleCase", "my-File_x", "My-file_x"},
        {"btnSentenceCase", "my FILE", "My file"},
        {"btnTrim", "  a b  ", "a b"},
        {"btnCompSpc", "a   b", "a b"},
        {"Command1", "my-File_x", "my_File_x"},
        {"Command2", "a b c", "abc"},
        {"Command3", "my-File_x", "my-File-x"},
        {"btnRemoveNonAlpha", "a!b", "a b"},
        {"btnUnescape", "a%20b", "a b"},
        {"cmdCamelCase", "MyFile", "My File"},
        {"btnHtmlTitle", "edited", "Annual Report"},
        {"btnTextFile", "edited", "titleAnnual Reporttitle"},
        {"btnRefresh", "edited", "page"},
        {"picDel", "edited", ""},  // the whole name selected
        {"picCut", "edited", ""},
        {"picPaste", "edited", "pasted"},
        {"cboWords", "edited", "Holiday"},
    };
    for (const auto& r : rows) QTest::newRow(r.control) << r.control << r.before << r.after;
  }
  void ctrlZUndoesACommand() {
    QFETCH(QString, control);
    QFETCH(QString, before);
    QFETCH(QString, after);
    velmora::testing::WriteBytes(program_->filePath("words.txt"), "Holiday\r\n");
    QVERIFY(OpenOn("page.htm", "<title>Annual Report</title>\r\n"));
    desktop_.clipboard = u"pasted";
    // Typed, so that the field's history holds an earlier step as a person's would.
    Base()->selectAll();
    QTest::keyClick(Base(), Qt::Key_Delete);
    QTest::keyClicks(Base(), before);
    Base()->selectAll();
    if (control == "cboWords") {
      auto* list = Control<QComboBox>("cboWords");
      list->setFocus();
      QTest::keyClick(list, Qt::Key_Down);
    } else {
      Click(control);
    }
    QCOMPARE(Base()->text(), after);
    // As after setText: the caret at the end, nothing selected, the focus back.
    QCOMPARE(Base()->cursorPosition(), int(after.size()));
    QVERIFY(!Base()->hasSelectedText());
    QCOMPARE(QApplication::focusWidget(), Base());
    QTest::keyClick(Base(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Base()->text(), before);
    // Redo brings the command back.
    QTest::keyClick(Base(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(Base()->text(), after);
  }

  void ctrlZAfterRestoreGivesBothFieldsBack() {
    QVERIFY(OpenOn("Report.docx"));
    QTest::keyClicks(Base(), "Draft");
    Ext()->setFocus();
    Ext()->selectAll();
    QTest::keyClicks(Ext(), "odt");
    Click("btnRefresh");
    QCOMPARE(Base()->text(), QString("Report"));
    QCOMPARE(Ext()->text(), QString("docx"));
    QTest::keyClick(Base(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Base()->text(), QString("Draft"));
    Ext()->setFocus();
    QTest::keyClick(Ext(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Ext()->text(), QString("odt"));
  }

  void ctrlZRightAfterLoadKeepsTheName() {
    // The load fills the fields outside their history: nothing to undo.
    QVERIFY(OpenOn("photo.jpg"));
    QTest::keyClick(Base(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Base()->text(), QString("photo"));
    QCOMPARE(Ext()->text(), QString("jpg"));
  }

  // ------------------------------------------------------------ assistive technology

  void accessibleNames_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tooltip");
    // From the table: a field or list by its accessible name, a button or
    // label by its caption, a picture button by its tooltip. Only these two
    // come from elsewhere.
    const std::map<std::string, QString> exceptions = {
        {"cboWords", "Often used names"},  // its label, Label2, through the buddy
        {"lblTitle", "Velmora"},           // the program's title, set at load
    };
    for (const velmora::Control& c : kControls) {
      if (c.kind == Kind::Banner) continue;
      QString name = QString::fromUtf8(*c.accessibleName ? c.accessibleName
                                       : c.kind == Kind::Picture ? c.tooltip
                                                                 : c.caption);
      if (auto e = exceptions.find(c.name); e != exceptions.end()) name = e->second;
      QTest::newRow(c.name) << c.name << name << QString::fromUtf8(c.tooltip);
    }
  }
  void accessibleNames() {
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(QString, tooltip);
    // Fields holding text, so that no name could come from a field's text.
    QVERIFY(OpenOn("scan.jpg"));
    QWidget* w = Control(control);
    QVERIFY2(w != nullptr, qPrintable(control));
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
    QVERIFY(face != nullptr);
    QCOMPARE(face->text(QAccessible::Name), name);
    QCOMPARE(w->toolTip(), tooltip);
  }

  // Every command that rewrites the base name says what it does to a screen
  // reader, read from the control table so that no new button goes unchecked.
  void commandsDescribeWhatTheyDo() {
    QVERIFY(OpenOn("scan.jpg"));
    for (const velmora::Control& c : kControls) {
      const bool command = c.kind == Kind::Button && c.click != Click::Cancel && c.click != Click::Rename &&
                           c.click != Click::Run;
      // The name commands are exactly the buttons with a rewrite.
      if (c.rewrite.apply != nullptr) QVERIFY2(command, c.name);
      QWidget* w = Control(c.name);
      QVERIFY2(w != nullptr, c.name);
      QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
      QVERIFY(face != nullptr);
      QCOMPARE(QString::fromUtf8(c.description).isEmpty(), !command);
      // Others go by their tooltip, which Qt gives as the description.
      if (command) QCOMPARE(face->text(QAccessible::Description), QString::fromUtf8(c.description));
    }
  }

  void ctrlEnterRenamesFromAnyControl_data() {
    QTest::addColumn<QString>("control");
    for (const char* name : {"txtFileBaseName", "txtFileExt", "btnUCase", "picDel", "cmdCancel", "cmdExec",
                             "txtFileName", "cboWords"})
      QTest::newRow(name) << name;
  }
  void ctrlEnterRenamesFromAnyControl() {
    QFETCH(QString, control);
    QVERIFY(OpenOn("old.txt"));
    Base()->setText("new");
    FocusOn(control);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
    QTRY_VERIFY(!window_->isVisible());
    QCOMPARE(DataFiles(), QStringList{"new.txt"});
    QVERIFY(shell_.executed.empty());
  }

  // The focus on a picture button is a ring that stands out from the window.
  void pictureButtonFocusStandsOut() {
    QVERIFY(OpenOn("scan.jpg"));
    for (const char* name : {"picCut", "picCopy", "picPaste", "picDel", "btnRefresh"}) {
      FocusOn(name);
      const QImage shot = Control(name)->grab().toImage();
      const QColor window = window_->palette().color(QPalette::Window);
      QVERIFY2(ContrastRatio(shot.pixelColor(1, 10), window) >= 3.0, name);
    }
  }

  void theListIsLabelledByItsLabel() {
    velmora::testing::WriteBytes(program_->filePath("words.txt"), "Holiday\r\n");
    QVERIFY(OpenOn("scan.jpg"));
    auto* list = Control<QComboBox>("cboWords");
    QCOMPARE(Control<QLabel>("Label2")->buddy(), list);
    // Once a name is picked, Qt on Linux names a list by its text, as GTK does;
    // a screen reader then finds the label through the "labelled by" relation.
    list->setCurrentIndex(0);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(list);
    const auto labels = face->relations(QAccessible::Label);
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels[0].first->text(QAccessible::Name), QString("Often used names"));
  }

  // ------------------------------------------------------------ fonts

  void captionsKeepTheirSizeUnderALargeSystemFont() {
    const QFont saved = QApplication::font();
    QFont large = saved;
    large.setPointSizeF(20);
    QApplication::setFont(large);
    const bool opened = Open(QString()) != nullptr;
    QApplication::setFont(saved);
    QVERIFY(opened);
    for (auto* b : window_->findChildren<QPushButton*>()) {
      // Each caption has a fixed pixel size, whatever the system's font.
      QVERIFY2(b->font().pixelSize() > 0, qPrintable(b->objectName()));
      const QString clipped = velmora::testing::ClippedCaption(b);
      QVERIFY2(clipped.isEmpty(), qPrintable(clipped));
    }
  }
};

#include "frm_quick_ren_keyboard_test.moc"

static const int kRegistered = velmora::testing::RegisterUiTest<FrmQuickRenKeyboardTest>();
