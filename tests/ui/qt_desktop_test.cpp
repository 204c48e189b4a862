// The desktop seam over Qt: message boxes wide enough for their titles.
#include "ui/qt_desktop.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include "registry.h"
#include "ui/qt_text.h"

using namespace velmora;

class QtDesktopTest : public QObject {
  Q_OBJECT

 private slots:
  void messageBoxFitsItsTitle() {
    struct Case {
      const char16_t* title;
      const char16_t* text;
    };
    const Case cases[] = {
        {u"Error Message", u"File Not Found"},
        {u"Error in [GetDirName()]", u"76\tPath not found"},
        {u"Velmora 1.0", u"x"},
    };
    for (const Case& c : cases) {
      int width = 0;
      QString seenTitle;
      // The box is modal: read it once it is up, then close it.
      QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
          width = box->width();
          seenTitle = box->windowTitle();
          box->accept();
        }
      });
      QtDesktop().MessageBox(c.text, c.title, MessageIcon::Critical);
      QCOMPARE(seenTitle, QStr(c.title));
      QVERIFY2(width >= TitleBarWidth(seenTitle), qPrintable(seenTitle));
      // The title and three frame buttons at the very least, whatever the font.
      QVERIFY2(width >= QFontMetrics(QApplication::font()).horizontalAdvance(seenTitle) + 3 * 20,
               qPrintable(seenTitle));
    }
  }
};

#include "qt_desktop_test.moc"

static const int kRegistered = velmora::testing::RegisterUiTest<QtDesktopTest>();
