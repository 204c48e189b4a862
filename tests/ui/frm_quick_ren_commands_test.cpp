// Window tests of the name commands, the edit buttons, the key filters, the
// title buttons and "run": real clicks and keys on the offscreen window.
#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/modes.h"
#include "registry.h"
#include "window_fixture.h"
#include "ui/frm_quick_ren.h"

using namespace velmora;
using velmora::testing::WriteBytes;

class FrmQuickRenCommandsTest : public velmora::testing::WindowFixture {
  Q_OBJECT

 private:
  QLineEdit* Field(const char* name) const { return Control<QLineEdit>(name); }
  // Moves the focus away first, so that the test sees the command give it back.
  void FocusElsewhere() {
    Field("txtFileTitle")->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), Field("txtFileTitle"));
  }

 private slots:
  void init() { Reset(); }
  void cleanup() { window_.reset(); }

  // ------------------------------------------------------------ name commands

  void commands_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    struct Row {
      const char *button, *before, *after;
    };
    const Row rows[] = {
        {"btnLCase", "MY File", "my file"},
        {"btnUCase", "my ﬁle ß", "MY ﬁLE ß"},  // one character for one
        {"btnTitleCase", "MY FILE-NAME", "My File-name"},
        {"btnSentenceCase", "MY FILE-NAME", "My file-name"},
        {"btnTrim", " a  b ", "a  b"},
        {"btnCompSpc", "a  b   c", "a b c"},
        {"Command2", "a  b   c", "abc"},
        {"Command1", "my-file_v-2", "my_file_v_2"},
        {"Command3", "my-file_v-2", "my-file-v-2"},
        {"btnTrim", "   ", ""},  // always written, also when empty
        {"btnLCase", "", ""},
        {"btnRemoveNonAlpha", "my--file!!", "my file"},
        {"btnRemoveNonAlpha", "!!!", "!!!"},  // an empty result leaves the name
        {"btnRemoveNonAlpha", "Привет_мир", "Привет мир"},
        {"btnUnescape", "My%20File%2520Name", "My File%20Name"},
        {"btnUnescape", "100%", "100%"},
        {"cmdCamelCase", "MyFileName", "My File Name"},
        {"cmdCamelCase", "   ", "   "},  // empty result: unchanged
    };
    int i = 0;
    for (const Row& r : rows)
      QTest::newRow(qPrintable(QString::number(i++) + ' ' + r.button)) << r.button << QString::fromUtf8(r.before) << QString::fromUtf8(r.after);
  }
  void commands() {
    QFETCH(QString, button);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QVERIFY(OpenOn("IMG_0001.jpg"));
    Base()->setText(before);
    Base()->setSelection(0, 1);  // a selection does not limit the command
    Ext()->setText("jpg");
    FocusElsewhere();
    Click(button);
    QCOMPARE(Base()->text(), after);
    QCOMPARE(Ext()->text(), QString("jpg"));
    QCOMPARE(QApplication::focusWidget(), Base());
  }

  void refreshRestoresBothFields() {
    QVERIFY(OpenOn("Report.final.docx"));
    Base()->setText("edited");
    Ext()->setText("zzz");
    Click("btnRefresh");
    QCOMPARE(Base()->text(), QString("Report.final"));
    QCOMPARE(Ext()->text(), QString("docx"));
    QCOMPARE(Field("txtFileTitle")->text(), QString("Report.final.docx"));
    QCOMPARE(QApplication::focusWidget(), Base());
  }

  void pickingAnOftenUsedName() {
    QFile words(program_->filePath("words.txt"));
    QVERIFY(words.open(QIODevice::WriteOnly));
    words.write("Holiday\r\nInvoice\r\n");
    words.close();
    QVERIFY(OpenOn("IMG_0001.jpg"));
    auto* list = window_->findChild<QComboBox*>("cboWords");
    // Opening and closing the list without a pick changes nothing.
    list->showPopup();
    list->hidePopup();
    QCOMPARE(Base()->text(), QString("IMG_0001"));
    // The wheel over the list picks nothing while the list lacks the focus.
    QWheelEvent wheel(QPointF(5, 5), list->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list, &wheel);
    QCOMPARE(Base()->text(), QString("IMG_0001"));
    // A pick by keyboard replaces the whole base name.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(Base()->text(), QString("Holiday"));
    QCOMPARE(Ext()->text(), QString("jpg"));
    QCOMPARE(QApplication::focusWidget(), Base());
  }

  // ------------------------------------------------------------ edit buttons

  void editButtons_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("clipboardBefore");
    QTest::addColumn<QString>("baseAfter");
    QTest::addColumn<QString>("clipboardAfter");
    //                                 base is "abcdef"
    QTest::newRow("copy selection") << "picCopy" << 1 << 3 << "x" << "abcdef" << "bcd";
    QTest::newRow("copy nothing") << "picCopy" << 2 << 0 << "x" << "abcdef" << "x";
    QTest::newRow("cut selection") << "picCut" << 1 << 3 << "x" << "aef" << "bcd";
    QTest::newRow("cut nothing") << "picCut" << 2 << 0 << "x" << "abcdef" << "x";
    QTest::newRow("delete selection") << "picDel" << 0 << 2 << "x" << "cdef" << "x";
    QTest::newRow("delete never at the caret") << "picDel" << 2 << 0 << "x" << "abcdef" << "x";
    QTest::newRow("paste over selection") << "picPaste" << 1 << 3 << "XY" << "aXYef" << "XY";
    QTest::newRow("paste at caret") << "picPaste" << 2 << 0 << "XY" << "abXYcdef" << "XY";
    QTest::newRow("paste of empty clipboard removes selection") << "picPaste" << 1 << 3 << "" << "aef" << "";
    QTest::newRow("paste is not filtered") << "picPaste" << 6 << 0 << "a:b?c" << "abcdefa:b?c" << "a:b?c";
  }
  void editButtons() {
    QFETCH(QString, button);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, clipboardBefore);
    QFETCH(QString, baseAfter);
    QFETCH(QString, clipboardAfter);
    QVERIFY(OpenOn("abcdef.txt"));
    desktop_.clipboard = clipboardBefore.toStdU16String();
    if (selLength > 0)
      Base()->setSelection(selStart, selLength);
    else
      Base()->setCursorPosition(selStart);
    // The focus and a selection in another field do not matter.
    Ext()->setFocus();
    Ext()->selectAll();
    QTRY_COMPARE(QApplication::focusWidget(), Ext());
    Click(button);
    QCOMPARE(Base()->text(), baseAfter);
    QCOMPARE(QString::fromStdU16String(desktop_.clipboard), clipboardAfter);
    QCOMPARE(Ext()->text(), QString("txt"));
    QCOMPARE(QApplication::focusWidget(), Base());
  }

  void brokenClipboardIsIgnored() {
    QVERIFY(OpenOn("abcdef.txt"));
    desktop_.clipboardBroken = true;
    Base()->setSelection(0, 3);
    Click("picPaste");
    QCOMPARE(Base()->text(), QString("abcdef"));  // the paste failed as a whole
    Base()->setSelection(0, 3);
    Click("picCut");
    QCOMPARE(Base()->text(), QString("def"));  // the cut still removes
    QCOMPARE(QApplication::focusWidget(), Base());
  }

  // ------------------------------------------------------------ key filters

  void refusedCharactersBeep_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QChar>("character");
    for (const char* field : {"txtFileBaseName", "txtFileExt"})
      for (QChar c : QStringLiteral("\\/:*?<>|\""))
        QTest::newRow(qPrintable(QString(field) + ' ' + c)) << QString(field) << c;
  }
  void refusedCharactersBeep() {
    QFETCH(QString, field);
    QFETCH(QChar, character);
    QVERIFY(OpenOn("name.txt"));
    QLineEdit* box = Field(qPrintable(field));
    box->setFocus();
    box->setCursorPosition(1);
    const QString before = box->text();
    QTest::keyClick(box, character.toLatin1());
    QCOMPARE(box->text(), before);
    QCOMPARE(desktop_.beeps, 1);
  }

  void ordinaryKeysPass() {
    QVERIFY(OpenOn("name.txt"));
    Ext()->setFocus();
    Ext()->selectAll();
    QTest::keyClicks(Ext(), "t.a r");
    QCOMPARE(Ext()->text(), QString("t.a r"));
    QCOMPARE(desktop_.beeps, 0);
  }

  void enterInTheExtensionRenames() {
    QVERIFY(OpenOn("old.txt"));
    Base()->setText("new");
    Ext()->setFocus();
    QTest::keyClick(Ext(), Qt::Key_Return);
    QVERIFY(!window_->isVisible());
    QVERIFY(QFile::exists(Data("new.txt")));
    QCOMPARE(desktop_.beeps, 0);
  }

  // ------------------------------------------------------------ titles

  void titleButtons_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("base");
    QTest::newRow("html") << "btnHtmlTitle" << QByteArray("<html>\r\n<title>Annual Report</title>\r\n") << "Annual Report";
    QTest::newRow("html, none") << "btnHtmlTitle" << QByteArray("<title lang=en>News</title>") << "scan0042";
    QTest::newRow("text") << "btnTextFile" << QByteArray("\r\n  ?? \r\nChapter 1: Begin\r\n") << "Chapter 1 Begin";
    QTest::newRow("text, none") << "btnTextFile" << QByteArray("") << "scan0042";
    // Low halves in U+DC80..U+DCFF (💡 U+DCA1, 📄 U+DCC4) are no bytes to show.
    QTest::newRow("html, pairs") << "btnHtmlTitle" << QByteArray("<title>💡 Idea 📄</title>") << "💡 Idea 📄";
    QTest::newRow("text, pairs") << "btnTextFile" << QByteArray("💡 Idea 📄\r\n") << "💡 Idea 📄";
  }
  void titleButtons() {
    QFETCH(QString, button);
    QFETCH(QByteArray, content);
    QFETCH(QString, base);
    QVERIFY(OpenOn("scan0042.htm", content));
    FocusElsewhere();
    Click(button);
    QCOMPARE(Base()->text(), base);
    QCOMPARE(Ext()->text(), QString("htm"));
    QCOMPARE(QApplication::focusWidget(), Base());
    QVERIFY(desktop_.messages.empty());
  }

  void titleThenRename() {
    QVERIFY(OpenOn("scan0042.htm", "<TITLE>Annual Report</TITLE>"));
    Click("btnHtmlTitle");
    Click("cmdRename");
    QVERIFY(QFile::exists(Data("Annual Report.htm")));
    QVERIFY(!QFile::exists(Data("scan0042.htm")));
  }

  // ------------------------------------------------------------ run

  void runOpensTheFileAndKeepsTheWindow() {
    QVERIFY(OpenOn("photo.jpg"));
    Base()->setText("edited");
    Click("cmdExec");
    QCOMPARE(shell_.executed.size(), std::size_t(1));
    QCOMPARE(QString::fromStdU16String(shell_.executed[0].verb), QString("Open"));
    QCOMPARE(QString::fromStdU16String(shell_.executed[0].file), Data("photo.jpg"));
    QCOMPARE(QString::fromStdU16String(shell_.executed[0].directory), data_->path() + "/");
    QCOMPARE(shell_.executed[0].showCommand, 1);
    QVERIFY(window_->isVisible());
    QCOMPARE(Base()->text(), QString("edited"));
  }

  void runReportsAFailure() {
    QVERIFY(OpenOn("photo.jpg"));
    shell_.executeResult = 2;
    Click("cmdExec");
    QCOMPARE(desktop_.messages.size(), std::size_t(1));
    QCOMPARE(QString::fromStdU16String(desktop_.messages[0].text), QString("File Not Found"));
    QCOMPARE(QString::fromStdU16String(desktop_.messages[0].title), QString("Error Message"));
    QVERIFY(window_->isVisible());
  }
};

#include "frm_quick_ren_commands_test.moc"

static const int kRegistered = velmora::testing::RegisterUiTest<FrmQuickRenCommandsTest>();
