// Window tests: the real window, offscreen, on real files in temporary
// folders, with recording fakes for the desktop and the shell.
#include "ui/frm_quick_ren.h"

#include <sys/resource.h>

#include <QAbstractButton>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <csignal>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/modes.h"
#include "platform/codec/codec.h"
#include "registry.h"
#include "window_fixture.h"

using namespace velmora;
using velmora::testing::LogLine;
using velmora::testing::ReadBytes;
using velmora::testing::WriteBytes;

class FrmQuickRenTest : public velmora::testing::WindowFixture {
  Q_OBJECT

 private slots:
  void init() { Reset(); }
  void cleanup() { window_.reset(); }

  // ------------------------------------------------------------ layout

  void controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("takesFocus");
    struct Row {
      const char *name, *kind, *caption, *tooltip;
      QRect geometry;
      bool focus;
    };
    const Row rows[] = {
        {"txtFileName", "readonly", "", "", {8, 32, 757, 27}, true},
        {"cmdCancel", "button", "Cancel", "", {680, 316, 125, 25}, true},
        {"txtFileTitle", "readonly", "", "", {8, 68, 793, 27}, true},
        {"txtFileBaseName", "text", "", "", {8, 144, 721, 27}, true},
        {"txtFileExt", "text", "", "", {744, 144, 57, 27}, true},
        {"btnTrim", "button", "Trim", "", {12, 184, 69, 29}, true},
        {"btnLCase", "button", "abc", "Lowercase", {84, 220, 69, 29}, true},
        {"btnUCase", "button", "ABC", "Uppercase", {12, 220, 69, 29}, true},
        {"btnTitleCase", "button", "Abc Def", "Title Case", {156, 220, 69, 29}, true},
        {"Label1", "label", ".", "", {734, 144, -1, -1}, false},
        {"cmdRename", "button", "Rename!", "", {540, 316, 129, 25}, true},
        {"btnSentenceCase", "button", "Abc def", "Sentence Case", {228, 220, 69, 29}, true},
        {"btnCompSpc", "button", "Compact Spc", "", {84, 184, 69, 29}, true},
        {"btnHtmlTitle", "button", "HTML Title", "", {12, 256, 109, 29}, true},
        {"picDel", "picture", "", "Delete", {92, 120, 20, 20}, true},
        {"picCut", "picture", "", "Cut", {8, 120, 20, 20}, true},
        {"picCopy", "picture", "", "Copy", {36, 120, 20, 20}, true},
        {"picPaste", "picture", "", "Paste", {64, 120, 20, 20}, true},
        {"btnUnescape", "button", "Unescape %nn", "", {148, 308, 109, 29}, true},
        {"btnRefresh", "picture", "", "Restore name", {120, 120, 20, 20}, true},
        {"Command1", "button", "- to _", "", {332, 188, 69, 29}, true},
        {"Command2", "button", "Remove Spc", "", {156, 184, 69, 29}, true},
        {"Command3", "button", "_ to -", "", {404, 188, 69, 29}, true},
        {"btnRemoveNonAlpha", "button", "Remove non alphanumeric", "", {12, 300, 133, 37}, true},
        {"cmdExec", "button", "run", "", {772, 32, 33, 29}, true},
        {"btnTextFile", "button", "Text Title", "", {124, 256, 109, 29}, true},
        {"cmdCamelCase", "button", "split CamelCase", "", {264, 308, 109, 29}, true},
        {"cboWords", "list", "", "", {588, 248, 205, 21}, true},
        {"Label2", "label", "Often used names", "", {588, 232, -1, -1}, false},
        {"picTitle", "banner", "", "", {0, 0, 811, 25}, false},
        {"lblTitle", "label", "", "", {8, 4, -1, 16}, false},
    };
    for (const Row& r : rows)
      QTest::newRow(r.name) << r.name << r.kind << r.caption << r.tooltip << r.geometry << r.focus;
  }

  void controls() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    QFETCH(QString, tooltip);
    QFETCH(QRect, geometry);
    QFETCH(bool, takesFocus);
    Open(QString(), false);
    auto* w = Control(name);
    QVERIFY2(w != nullptr, qPrintable(name));
    QCOMPARE(w->x(), geometry.x());
    QCOMPARE(w->y(), geometry.y());
    if (geometry.width() >= 0) QCOMPARE(w->width(), geometry.width());
    if (geometry.height() >= 0) QCOMPARE(w->height(), geometry.height());
    QCOMPARE(w->toolTip(), tooltip);
    QCOMPARE(w->focusPolicy() != Qt::NoFocus, takesFocus);
    if (kind == "button") {
      auto* b = qobject_cast<QPushButton*>(w);
      QVERIFY(b != nullptr);
      QCOMPARE(b->text(), caption);
      QVERIFY(!b->isDefault());
      QVERIFY(!b->autoDefault());
    } else if (kind == "readonly" || kind == "text") {
      auto* e = qobject_cast<QLineEdit*>(w);
      QVERIFY(e != nullptr);
      QCOMPARE(e->isReadOnly(), kind == "readonly");
    } else if (kind == "label") {
      auto* l = qobject_cast<QLabel*>(w);
      QVERIFY(l != nullptr);
      if (name != "lblTitle") QCOMPARE(l->text(), caption);
    } else if (kind == "list") {
      auto* c = qobject_cast<QComboBox*>(w);
      QVERIFY(c != nullptr);
      QVERIFY(!c->isEditable());
    } else if (kind == "picture") {
      auto* p = qobject_cast<QAbstractButton*>(w);
      QVERIFY(p != nullptr);
      QVERIFY(p->text().isEmpty());
      QVERIFY(!p->icon().isNull());
      // A click must not take the focus from the base name.
      QVERIFY(!(p->focusPolicy() & Qt::ClickFocus));
    }
    if (name == "lblTitle") QCOMPARE(w->parentWidget()->objectName(), QString("picTitle"));
  }

  void windowIsFixedAndCaptionsFit() {
    QVERIFY(Open(QString()));
    QCOMPARE(window_->size(), QSize(812, 348));
    QCOMPARE(window_->minimumSize(), window_->maximumSize());
    QCOMPARE(window_->windowTitle(), QString("Velmora"));
    QCOMPARE(Control<QLabel>("lblTitle")->text(), QString("Velmora"));
    QVERIFY(!window_->windowIcon().isNull());
    const QColor banner = Control<QWidget>("picTitle")->palette().color(QPalette::Window);
    QCOMPARE(banner, QColor(0, 128, 255));
    // No caption clipped: a one-line caption must fit its width, a wrapped
    // one its height.
    for (auto* b : window_->findChildren<QPushButton*>()) {
      const QString clipped = velmora::testing::ClippedCaption(b);
      QVERIFY2(clipped.isEmpty(), qPrintable(clipped));
    }
  }

  void imagesAreReadFromTheirRawBytes() {
    QVERIFY(Open(QString()));
    QCOMPARE(window_->windowIcon().availableSizes(),
             (QList<QSize>{{16, 16}, {24, 24}, {32, 32}, {48, 48}}));
    for (const char* name : {"picCut", "picCopy", "picPaste", "picDel", "btnRefresh"}) {
      const QIcon icon = Control<QAbstractButton>(name)->icon();
      QVERIFY2(icon.availableSizes().contains(QSize(20, 20)), name);
      // Drawn, not blank: some pixel is opaque.
      const QImage image = icon.pixmap(20, 20).toImage();
      bool opaque = false;
      for (int y = 0; y < 20 && !opaque; ++y)
        for (int x = 0; x < 20 && !opaque; ++x) opaque = qAlpha(image.pixel(x, y)) == 255;
      QVERIFY2(opaque, name);
    }
  }

  // The focus follows the control table's order, so a new control takes its
  // place in the table or fails here. Labels and the banner take no focus.
  void tabOrder() {
    QVERIFY(Open(QString()));
    QStringList order;
    for (const velmora::Control& c : kControls)
      if (c.kind != Kind::Label && c.kind != Kind::Banner && c.kind != Kind::BannerLabel) order << c.name;
    QCOMPARE(order.size(), 27);
    QWidget* w = Control(order[0]);
    for (qsizetype i = 1; i < order.size(); ++i) {
      w = w->nextInFocusChain();
      while (w->focusPolicy() == Qt::NoFocus || !w->isVisible()) w = w->nextInFocusChain();
      QCOMPARE(w->objectName(), order[i]);
    }
  }

  void escAndCloseAndCancelChangeNothing_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("Esc") << 0;
    QTest::newRow("Cancel") << 1;
    QTest::newRow("close box") << 2;
  }
  void escAndCloseAndCancelChangeNothing() {
    QFETCH(int, how);
    QVERIFY(OpenOn("report.pdf"));
    QTest::keyClicks(Base(), "changed");
    if (how == 0) QTest::keyClick(Base(), Qt::Key_Escape);
    if (how == 1) Click("cmdCancel");
    if (how == 2) window_->close();
    QTRY_VERIFY(!window_->isVisible());
    QCOMPARE(DataFiles(), QStringList{"report.pdf"});
    QCOMPARE(ReadBytes(UndoLog()), QByteArray());
  }

  // Keys typed faster than the window closes are queued behind the key that
  // closes it: none of them may act.
  void queuedInputAfterClosingDoesNothing_data() {
    QTest::addColumn<QList<int>>("keys");  // posted at once to the base name
    QTest::addColumn<QString>("file");     // the one file afterwards
    QTest::addColumn<QByteArray>("log");   // "new" stands for the undo line
    const int ctrlC = (Qt::Key_C | Qt::ControlModifier).toCombined();
    QTest::newRow("Esc, Enter") << QList<int>{Qt::Key_Escape, Qt::Key_Return} << "old.txt" << QByteArray();
    QTest::newRow("Esc, Ctrl+C") << QList<int>{Qt::Key_Escape, ctrlC} << "old.txt" << QByteArray();
    QTest::newRow("Esc, Esc, Enter") << QList<int>{Qt::Key_Escape, Qt::Key_Escape, Qt::Key_Return} << "old.txt"
                                     << QByteArray();
    QTest::newRow("Enter, Enter") << QList<int>{Qt::Key_Return, Qt::Key_Return} << "new.txt" << QByteArray("new");
    QTest::newRow("Enter, Esc") << QList<int>{Qt::Key_Return, Qt::Key_Escape} << "new.txt" << QByteArray("new");
    QTest::newRow("Enter, Ctrl+C") << QList<int>{Qt::Key_Return, ctrlC} << "new.txt" << QByteArray("new");
  }
  void queuedInputAfterClosingDoesNothing() {
    QFETCH(QList<int>, keys);
    QFETCH(QString, file);
    QFETCH(QByteArray, log);
    QVERIFY(OpenOn("old.txt"));
    Base()->setText("new");
    Base()->selectAll();
    desktop_.clipboard = u"before";
    QApplication::clipboard()->setText("before");
    for (int key : keys) {
      const auto code = Qt::Key(key & ~Qt::KeyboardModifierMask);
      const auto modifiers = Qt::KeyboardModifiers(key & Qt::KeyboardModifierMask);
      QCoreApplication::postEvent(Base(), new QKeyEvent(QEvent::KeyPress, code, modifiers,
                                                        code == Qt::Key_Return ? "\r" : QString()));
    }
    QTRY_VERIFY(!window_->isVisible());
    QCoreApplication::processEvents();
    QCOMPARE(DataFiles(), QStringList{file});
    QCOMPARE(ReadBytes(UndoLog()),
             log.isEmpty() ? QByteArray() : LogLine(Data("new.txt"), "old.txt"));
    QVERIFY(desktop_.messages.empty());
    QCOMPARE(desktop_.clipboard, Text(u"before"));
    QCOMPARE(QApplication::clipboard()->text(), QString("before"));
  }

  // ------------------------------------------------------------ load

  void loadSplitsThePath_data() {
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("ext");
    QTest::newRow("quoted") << "\"/dir/my file.txt\"" << "/dir/my file.txt" << "my file.txt" << "my file" << "txt";
    QTest::newRow("no ext") << "/dir/README" << "/dir/README" << "README" << "README" << "";
    QTest::newRow("two dots") << "/dir/archive.tar.gz" << "/dir/archive.tar.gz" << "archive.tar.gz" << "archive.tar"
                              << "gz";
    QTest::newRow("repeated ext") << "/dir/x.txt.txt" << "/dir/x.txt.txt" << "x.txt.txt" << "x" << "txt";
    QTest::newRow("ext inside") << "/dir/a.cpp.c" << "/dir/a.cpp.c" << "a.cpp.c" << "app" << "c";
    QTest::newRow("case") << "/dir/x.TXT.txt" << "/dir/x.TXT.txt" << "x.TXT.txt" << "x.TXT" << "txt";
    QTest::newRow("trailing dot") << "/dir/name." << "/dir/name." << "name." << "name" << "";
    QTest::newRow("dots, empty ext") << "/dir/a.b." << "/dir/a.b." << "a.b." << "ab" << "";
    QTest::newRow("empty") << "" << "" << "" << "" << "";
    QTest::newRow("inner quote") << "/a\"b.txt" << "/ab.txt" << "ab.txt" << "ab" << "txt";
    QTest::newRow("-st") << "-st" << "-st" << "-st" << "-st" << "";
    QTest::newRow("Qt option") << "-style x" << "-style x" << "-style x" << "-style x" << "";
    // Not byte-order marks: characters of the name, kept as they are.
    const QString mark(QChar(0xFFFE));
    QTest::newRow("U+FFFE first") << "/d/" + mark + "ab.txt" << "/d/" + mark + "ab.txt" << mark + "ab.txt"
                                  << mark + "ab" << "txt";
    // Characters above U+FFFF whose low halves (U+DCC4, U+DCA9, U+DC89) lie
    // where escaped bytes lie, and one (U+DE00) outside: shown whole.
    QTest::newRow("pairs") << "/d/📄 notes💩.𠂉😀" << "/d/📄 notes💩.𠂉😀" << "📄 notes💩.𠂉😀" << "📄 notes💩"
                           << "𠂉😀";
    // A byte that is not UTF-8 is shown as its Windows-1252 character, and
    // kept as it is in the fields that name the file anew.
    const QString byte(QChar(0xDCE9));
    QTest::newRow("escaped byte beside a pair") << "/d/📄" + byte + ".txt" << "/d/📄é.txt" << "📄é.txt"
                                                << "📄" + byte << "txt";
  }
  void loadSplitsThePath() {
    QFETCH(QString, argument);
    QFETCH(QString, path);
    QFETCH(QString, fileName);
    QFETCH(QString, base);
    QFETCH(QString, ext);
    QVERIFY(Open(argument));
    QCOMPARE(Control<QLineEdit>("txtFileName")->text(), path);
    QCOMPARE(Control<QLineEdit>("txtFileTitle")->text(), fileName);
    QCOMPARE(Base()->text(), base);
    QCOMPARE(Ext()->text(), ext);
    // After activation the whole base name is selected and focused.
    QCOMPARE(Base()->selectedText(), base);
    QCOMPARE(QApplication::focusWidget(), Base());
  }

  void activationRunsOnce() {
    QVERIFY(OpenOn("photo.jpg"));
    QTest::keyClick(Base(), Qt::Key_End);
    QTest::keyClicks(Base(), "X");
    // Focus leaving to another program and coming back must not re-select.
    QEvent deactivate(QEvent::WindowDeactivate), activate(QEvent::WindowActivate);
    QApplication::sendEvent(window_.get(), &deactivate);
    QApplication::sendEvent(window_.get(), &activate);
    QCOMPARE(Base()->text(), QString("photoX"));
    QVERIFY(Base()->selectedText().isEmpty());
  }

  void ordinaryFixedTopLevelWindow() {
    // A dialog type makes X11 window managers take it for a dialog of the
    // active program, and give it that program's focus.
    Open(QString(), false);
    QCOMPARE(window_->windowType(), Qt::Window);
    QVERIFY(!(window_->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window_->windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(window_->minimumSize(), window_->maximumSize());
  }

  void readyWithoutActivation() {
    // A compositor that never activates the window, or a window manager that
    // keeps the focus elsewhere: shown, the window is ready all the same.
    WriteBytes(Data("IMG_0001.jpg"), "x");
    Open(Data("IMG_0001.jpg"), false);
    window_->show();  // no event is processed: the activation has not come
    QVERIFY(!window_->Activated());
    QCOMPARE(window_->windowTitle(), QString("Velmora"));
    QCOMPARE(Control<QLabel>("lblTitle")->text(), QString("Velmora"));
    QCOMPARE(Control<QWidget>("picTitle")->palette().color(QPalette::Window), QColor(0, 128, 255));
    QVERIFY(!window_->windowIcon().isNull());
    QCOMPARE(Base()->selectedText(), QString("IMG_0001"));
    QCOMPARE(window_->focusWidget(), Base());
  }

  void activationAfterTheUserActedChangesNothing() {
    struct Case {
      const char* name;
      std::function<void(frmQuickRen*, QLineEdit* base, QLineEdit* ext)> act;
      QString text, selected;
      int cursor;
      const char* focus;
    };
    const Case cases[] = {
        {"nothing done: the name is selected", [](frmQuickRen*, QLineEdit*, QLineEdit*) {}, "IMG_0001", "IMG_0001", 8,
         "txtFileBaseName"},
        {"typed over the selection", [](frmQuickRen*, QLineEdit* b, QLineEdit*) { QTest::keyClicks(b, "Sea"); },
         "Sea", "", 3, "txtFileBaseName"},
        {"caret moved", [](frmQuickRen*, QLineEdit* b, QLineEdit*) { QTest::keyClick(b, Qt::Key_Home); }, "IMG_0001",
         "", 0, "txtFileBaseName"},
        {"part selected", [](frmQuickRen*, QLineEdit* b, QLineEdit*) { b->setSelection(4, 4); }, "IMG_0001", "0001", 8,
         "txtFileBaseName"},
        {"went to the extension", [](frmQuickRen*, QLineEdit*, QLineEdit* e) { e->setFocus(Qt::MouseFocusReason); },
         "IMG_0001", "IMG_0001", 8, "txtFileExt"},
        {"used a command", [](frmQuickRen* w, QLineEdit*, QLineEdit*) {
           w->findChild<QAbstractButton*>("btnUCase")->click(); }, "IMG_0001", "", 8, "txtFileBaseName"},
    };
    for (const Case& c : cases) {
      Reset();
      WriteBytes(Data("IMG_0001.jpg"), "x");
      Open(Data("IMG_0001.jpg"), false);
      window_->show();
      QVERIFY2(!window_->Activated(), c.name);
      c.act(window_.get(), Base(), Ext());
      QVERIFY2(QTest::qWaitForWindowActive(window_.get()), c.name);
      QVERIFY2(window_->Activated(), c.name);
      QCOMPARE(window_->windowTitle(), QString("Velmora"));
      QCOMPARE(Base()->text(), c.text);
      QCOMPARE(Base()->selectedText(), c.selected);
      QCOMPARE(Base()->cursorPosition(), c.cursor);
      QCOMPARE(QApplication::focusWidget()->objectName(), QString(c.focus));
    }
  }

  void startupMinimisedKeepsTheSelection() {
    WriteBytes(Data("scan.png"), "x");
    Open(Data("scan.png"), false);
    window_->ShowAtStartup(true);
    QVERIFY(window_->isMinimized());
    QVERIFY(window_->Activated());
    QTest::qWait(50);  // the first exposure and any activation come and go
    QVERIFY(window_->isMinimized());
    QCOMPARE(window_->windowTitle(), QString("Velmora"));
    QCOMPARE(Base()->selectedText(), QString("scan"));
    QCOMPARE(window_->focusWidget(), Base());
  }

  void undoLogSizeRule_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("kept");
    QTest::newRow("65,536 stays") << 65536 << true;
    QTest::newRow("65,537 goes") << 65537 << false;
  }
  void undoLogSizeRule() {
    QFETCH(int, size);
    QFETCH(bool, kept);
    WriteBytes(UndoLog(), QByteArray(size, 'x'));
    Open(Data("a.txt"), false);
    QCOMPARE(QFileInfo(UndoLog()).size(), kept ? qint64(size) : qint64(0));
  }

  void wordsList_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("blank and space lines skipped, spaces kept")
        << QByteArray("Invoice\r\n\r\n   \r\n  Report  \r\n") << QStringList{"Invoice", "  Report  "};
    // Linux editors end lines with LF alone; on Windows only CR LF splits.
    QTest::newRow("bare LF ends a line where the platform says")
        << QByteArray("a\nb\rc\n") << (LoneLineFeedEndsLine() ? QStringList{"a", "b", "c"} : QStringList{"a\nb\rc\n"});
    QTest::newRow("tabs are not spaces") << QByteArray("\t\r\nx") << QStringList{"\t", "x"};
    QTest::newRow("empty") << QByteArray() << QStringList{};
    QTest::newRow("invalid UTF-8 shows per Windows-1252") << QByteArray("Caf\xe9\r\n") << QStringList{"Café"};
    QTest::newRow("pairs stay whole") << QByteArray("📁 Projects\r\n💾\xe9\r\n") << QStringList{"📁 Projects", "💾é"};
  }
  void wordsList() {
    QFETCH(QByteArray, content);
    QFETCH(QStringList, entries);
    WriteBytes(program_->filePath("words.txt"), content);
    Open(Data("x.txt"), false);
    auto* list = Control<QComboBox>("cboWords");
    QStringList got;
    for (int i = 0; i < list->count(); ++i) got << list->itemText(i);
    QCOMPARE(got, entries);
    QCOMPARE(list->currentIndex(), -1);
  }

  void missingWordsListAndUnwritableProgramFolder() {
    // No words.txt: an empty list. A program folder that cannot be written:
    // the rename still happens, and the undo line goes to the user's state
    // folder instead.
    program_ = std::make_unique<QTemporaryDir>();
    const QString folder = program_->path() + "/missing/nested";
    WriteBytes(Data("old.txt"), "x");
    window_ = std::make_unique<frmQuickRen>(desktop_, shell_, WindowFacts(Data("old.txt").toStdU16String(), folder.toStdU16String()));
    QCOMPARE(Control<QComboBox>("cboWords")->count(), 0);
    Base()->setText("new");
    Click("cmdRename");
    QCOMPARE(DataFiles(), QStringList{"new.txt"});
    QVERIFY(desktop_.messages.empty());
    window_.reset();
    QCOMPARE(ReadBytes(StateLog()), LogLine(Data("new.txt"), "old.txt"));
  }

  // ------------------------------------------------------------ rename

  void rename_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("logged");  // the target in the undo line, when it differs
    QTest::newRow("plain") << "old.txt" << QStringList{} << "new" << "txt" << "new.txt" << "";
    QTest::newRow("spaces trimmed, inner kept") << "old.txt" << QStringList{} << "  My File " << " txt " << "My File.txt" << "";
    QTest::newRow("collision") << "IMG_1.jpg" << QStringList{"photo.jpg"} << "photo" << "jpg" << "photo (1).jpg" << "";
    QTest::newRow("base with dots") << "x.c" << QStringList{"a.b.c"} << "a.b" << "c" << "a.b (1).c" << "";
    QTest::newRow("empty extension drops the dot") << "README.md" << QStringList{} << "README" << "" << "README" << "";
    QTest::newRow("empty extension, taken") << "x.md" << QStringList{"README"} << "README" << "" << "README (1)" << "";
    QTest::newRow("empty base") << "x.txt" << QStringList{} << "" << "txt" << ".txt" << "";
    QTest::newRow("case only") << "Report.txt" << QStringList{} << "report" << "txt" << "report.txt" << "";
    QTest::newRow("unchanged a.txt.txt") << "a.txt.txt" << QStringList{} << "a" << "txt" << "a.txt" << "";
    QTest::newRow("pairs") << "📄 notes.txt" << QStringList{} << "📁 Projects 💡" << "txt" << "📁 Projects 💡.txt" << "";
  }
  void rename() {
    QFETCH(QString, file);
    QFETCH(QStringList, existing);
    QFETCH(QString, base);
    QFETCH(QString, ext);
    QFETCH(QString, expected);
    QFETCH(QString, logged);
    for (const QString& e : existing) WriteBytes(Data(e), "other");
    QVERIFY(OpenOn(file, "mine"));
    Base()->setText(base);
    Ext()->setText(ext);
    Click("cmdRename");
    QVERIFY(!window_->isVisible());
    QCOMPARE(ReadBytes(Data(expected)), QByteArray("mine"));
    for (const QString& e : existing) QCOMPARE(ReadBytes(Data(e)), QByteArray("other"));
    QVERIFY(!QFileInfo::exists(Data(file)) || file == expected);
    // The undo line names the path the file has now and the old file name.
    const QString target = data_->path() + "/" + (logged.isEmpty() ? expected : logged);
    QCOMPARE(ReadBytes(UndoLog()), LogLine(target, file));
    QVERIFY(desktop_.messages.empty());
  }

  void collisionChainCountsToTen() {
    WriteBytes(Data("photo.jpg"), "0");
    for (int i = 1; i <= 9; ++i) WriteBytes(Data(QString("photo (%1).jpg").arg(i)), "n");
    QVERIFY(OpenOn("IMG.jpg", "mine"));
    Base()->setText("photo");
    QTest::keyClick(Base(), Qt::Key_Return);
    QCOMPARE(ReadBytes(Data("photo (10).jpg")), QByteArray("mine"));
    QCOMPARE(ReadBytes(UndoLog()), LogLine(Data("photo (10).jpg"), "IMG.jpg"));
  }

  void equalPathWritesBlankLine() {
    QVERIFY(OpenOn("report.pdf"));
    Click("cmdRename");
    QCOMPARE(DataFiles(), QStringList{"report.pdf"});
    QCOMPARE(ReadBytes(UndoLog()), QByteArray("\r\n"));
  }

  void failedRenameIsReportedNotHidden() {
    QVERIFY(OpenOn("gone.txt"));
    QFile::remove(Data("gone.txt"));
    Base()->setText("new");
    Click("cmdRename");
    QVERIFY(!window_->isVisible());
    QCOMPARE(desktop_.messages.size(), std::size_t(1));
    const Text expected = u"Error: \"File not found\" while trying to rename\r\n\"" + Data("gone.txt").toStdU16String() +
                          u"\"  to  \"" + Data("new.txt").toStdU16String() + u"\"\r\n\r\n";
    QCOMPARE(QString::fromStdU16String(desktop_.messages[0].text), QString::fromStdU16String(expected));
    QVERIFY(desktop_.messages[0].icon == MessageIcon::Critical);
    QCOMPARE(ReadBytes(UndoLog()), QByteArray("\r\n"));
    QVERIFY(DataFiles().isEmpty());
  }

  // A separator reaches the base name by every route but typing; whatever
  // the route, the file stays where it is and nothing is made elsewhere.
  void nameThatLeavesTheFolderRenamesNothing_data() {
    QTest::addColumn<QString>("route");
    QTest::newRow("typed") << "typed";
    QTest::newRow("paste button") << "paste button";
    QTest::newRow("Ctrl+V") << "Ctrl+V";
    QTest::newRow("decoded %2F") << "decoded";
    QTest::newRow("often used name") << "list";
    QTest::newRow("text title") << "title";
  }
  void nameThatLeavesTheFolderRenamesNothing() {
    QFETCH(QString, route);
    QDir(data_->path()).mkdir("sub");
    const QString file = route == "title" ? "sub/notes" : "sub/old.txt";
    WriteBytes(program_->filePath("words.txt"), "../up\r\n");
    QVERIFY(OpenOn(file, route == "title" ? ".." : "mine"));
    Base()->selectAll();
    if (route == "typed") {
      QTest::keyClicks(Base(), "../up");
    } else if (route == "paste button") {
      desktop_.clipboard = u"../up";
      Click("picPaste");
    } else if (route == "Ctrl+V") {
      QGuiApplication::clipboard()->setText("../../../../tmp/x");
      QTest::keyClick(Base(), Qt::Key_V, Qt::ControlModifier);
    } else if (route == "decoded") {
      Base()->setText("..%2Fup");
      Click("btnUnescape");
    } else if (route == "list") {
      auto* list = Control<QComboBox>("cboWords");
      list->setCurrentIndex(0);
      emit list->activated(0);
    } else {
      Click("btnTextFile");
    }
    const QString name = Base()->text() + "." + Ext()->text();
    Click("cmdRename");
    QVERIFY(!window_->isVisible());
    QCOMPARE(DataFiles(), QStringList{});  // nothing beside the folder
    if (route == "typed") {
      // Typing never lets the separator in: the file is renamed in its folder.
      QCOMPARE(name, QString("..up.txt"));
      QCOMPARE(QDir(Data("sub")).entryList(QDir::Files | QDir::Hidden), QStringList{"..up.txt"});
      return;
    }
    QCOMPARE(QDir(Data("sub")).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(file).fileName()});
    QCOMPARE(desktop_.messages.size(), std::size_t(1));
    const QString text = QString::fromStdU16String(desktop_.messages[0].text);
    QVERIFY2(text.startsWith(route == "title" ? "Error: \"A file name cannot be made of dots only\""
                                              : "Error: \"A file name cannot hold \"/\": the file would leave its folder\""),
             qPrintable(text));
    QVERIFY2(text.contains(Data("sub/") + name), qPrintable(text));
    QCOMPARE(ReadBytes(UndoLog()), QByteArray("\r\n"));
  }

  void pathWithAQuoteIsTheFileItNames() {
    // Two files that differ by a quote: the one named is the one renamed.
    WriteBytes(Data("ab.txt"), "other");
    QVERIFY(OpenOn("a\"b.txt", "mine"));
    QCOMPARE(window_->FullPath(), Data("a\"b.txt").toStdU16String());
    QCOMPARE(Base()->text(), QString("a\"b"));
    Base()->setText("renamed");
    Click("cmdRename");
    QCOMPARE(DataFiles(), (QStringList{"ab.txt", "renamed.txt"}));
    QCOMPARE(ReadBytes(Data("renamed.txt")), QByteArray("mine"));
    QCOMPARE(ReadBytes(UndoLog()), LogLine(Data("renamed.txt"), "a\"b.txt"));
    // A quoted path that names nothing as given still loses its quotes.
    QVERIFY(Open("\"" + Data("ab.txt") + "\"", false));
    QCOMPARE(window_->FullPath(), Data("ab.txt").toStdU16String());
    // A path the chooser gave is no command line: it stays as it is, even
    // once its file is gone, and never points at its quote-less twin.
    window_ = std::make_unique<frmQuickRen>(
        desktop_, shell_, WindowFacts(Data("gone\".txt").toStdU16String(), program_->path().toStdU16String(), true));
    QCOMPARE(window_->FullPath(), Data("gone\".txt").toStdU16String());
  }

  void nameWithALineBreakKeepsItsLineWhole() {
    QVERIFY(OpenOn("two\nlines.txt", "mine"));
    Base()->setText("clean");
    Click("cmdRename");
    QCOMPARE(ReadBytes(Data("clean.txt")), QByteArray("mine"));
    QCOMPARE(ReadBytes(UndoLog()), ("RenEsc \"" + Data("clean.txt") + "\" \"two\\nlines.txt\"\r\n").toUtf8());
  }

  void lostUndoLineIsReportedAndTheRenameStands() {
    QVERIFY(OpenOn("old.txt", "mine"));
    Base()->setText("new");
    // A file size limit makes the log's write fail as a full disk does.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit full{0, saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &full);
    Click("cmdRename");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    QCOMPARE(ReadBytes(Data("new.txt")), QByteArray("mine"));
    QCOMPARE(ReadBytes(UndoLog()), QByteArray());
    QCOMPARE(desktop_.messages.size(), std::size_t(1));
    QVERIFY(desktop_.messages[0].icon == MessageIcon::Exclamation);
    const QString text = QString::fromStdU16String(desktop_.messages[0].text);
    QVERIFY2(text.contains("could not be written") && text.contains("Disk full") &&
                 text.endsWith(QString::fromStdU16String(UndoLine(Data("new.txt").toStdU16String(), u"old.txt"))),
             qPrintable(text));
  }

  void logThatWouldNotOpenIsReported() {
    // A link is a log that cannot be written: its target stays as it was.
    WriteBytes(Data("elsewhere.txt"), "private");
    QVERIFY(QFile::link(Data("elsewhere.txt"), UndoLog()));
    QVERIFY(OpenOn("old.txt", "mine"));
    Base()->setText("new");
    Click("cmdRename");
    QCOMPARE(ReadBytes(Data("new.txt")), QByteArray("mine"));
    QCOMPARE(ReadBytes(Data("elsewhere.txt")), QByteArray("private"));
    QCOMPARE(desktop_.messages.size(), std::size_t(1));
    const QString text = QString::fromStdU16String(desktop_.messages[0].text);
    QVERIFY2(text.contains("the log could not be opened") &&
                 text.endsWith(QString::fromStdU16String(UndoLine(Data("new.txt").toStdU16String(), u"old.txt"))),
             qPrintable(text));
  }

  void aTakenNameIsSaidBeforeTheRename() {
    WriteBytes(Data("photo.png"), "taken");
    QVERIFY(OpenOn("scan.png"));
    QCOMPARE(Base()->toolTip(), QString());
    const QColor plain = Base()->palette().color(QPalette::Base);
    QTest::keyClicks(Base(), "photo");
    QVERIFY2(Base()->toolTip().contains("\"photo (1).png\""), qPrintable(Base()->toolTip()));
    QCOMPARE(Base()->accessibleDescription(), Base()->toolTip());
    QCOMPARE(Ext()->toolTip(), Base()->toolTip());
    QVERIFY(Base()->palette().color(QPalette::Base) != plain);
    QTest::keyClicks(Base(), "s");
    QCOMPARE(Base()->toolTip(), QString());
    QCOMPARE(Base()->palette().color(QPalette::Base), plain);
    QCOMPARE(DataFiles(), (QStringList{"photo.png", "scan.png"}));
  }

  void renameAfterALastLineWithoutItsEndKeepsALineOfItsOwn() {
    WriteBytes(UndoLog(), "Ren \"a\" \"b\"");  // saved by hand without a line end
    QVERIFY(OpenOn("old.txt"));
    Base()->setText("new");
    Click("cmdRename");
    QCOMPARE(ReadBytes(UndoLog()), "Ren \"a\" \"b\"\r\n" + LogLine(Data("new.txt"), "old.txt"));
  }

  void renameAppendsToAnExistingLog() {
    WriteBytes(UndoLog(), "Ren \"a\" \"b\"\r\n");
    QVERIFY(OpenOn("old.txt"));
    Base()->setText("new");
    Click("cmdRename");
    QCOMPARE(ReadBytes(UndoLog()), "Ren \"a\" \"b\"\r\n" + LogLine(Data("new.txt"), "old.txt"));
  }
};

#include "frm_quick_ren_test.moc"

static const int kRegistered = velmora::testing::RegisterUiTest<FrmQuickRenTest>();
