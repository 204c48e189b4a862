// Start-up without a file: when the chooser is asked, and what the window
// then loads. The chooser is a fake; the real one is driven under Xvfb by
// tests/e2e/chooser_test.sh.
#include "ui/file_chooser.h"

#include "app/modes.h"

#include <QtTest>
#include <optional>

#include "registry.h"

using namespace velmora;

namespace {

class FakeChooser : public FileChooser {
 public:
  explicit FakeChooser(std::optional<Text> answer) : answer_(std::move(answer)) {}
  std::optional<Text> ChooseFile() override {
    ++asked;
    return answer_;
  }
  int asked = 0;

 private:
  std::optional<Text> answer_;
};

}  // namespace

class FileChooserTest : public QObject {
  Q_OBJECT

 private slots:
  void textToLoad_data() {
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<bool>("cancel");  // the person cancels the chooser
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("loaded");  // "-" for nothing: the program ends
    QTest::newRow("no file") << "" << false << true << "/home/a/IMG 1.jpg";
    QTest::newRow("no file, cancelled") << "" << true << true << "-";
    QTest::newRow("the switch alone") << "-st" << false << true << "/home/a/IMG 1.jpg";
    QTest::newRow("the switch alone, cancelled") << "-st" << true << true << "-";
    QTest::newRow("a file") << "/home/a/x.txt" << true << false << "/home/a/x.txt";
    QTest::newRow("quoted, as it stands") << "\"/home/a/x.txt\"" << true << false << "\"/home/a/x.txt\"";
    QTest::newRow("not the switch: -ST") << "-ST" << true << false << "-ST";
    QTest::newRow("not the switch: -st FILE") << "-st x" << true << false << "-st x";
    QTest::newRow("a quoted switch is a name") << "\"-st\"" << true << false << "\"-st\"";
    QTest::newRow("a space is a name") << " " << true << false << " ";
  }
  void textToLoad() {
    QFETCH(QString, commandLine);
    QFETCH(bool, cancel);
    QFETCH(bool, asked);
    QFETCH(QString, loaded);
    FakeChooser chooser(cancel ? std::nullopt : std::optional<Text>(u"/home/a/IMG 1.jpg"));
    const std::optional<Text> got = TextToLoad(commandLine.toStdU16String(), chooser);
    QCOMPARE(chooser.asked, asked ? 1 : 0);
    QCOMPARE(AsksForFile(commandLine.toStdU16String()), asked);
    QCOMPARE(got ? QString::fromStdU16String(*got) : QString("-"), loaded);
  }
};

#include "file_chooser_test.moc"

static const int kRegistered = velmora::testing::RegisterUiTest<FileChooserTest>();
