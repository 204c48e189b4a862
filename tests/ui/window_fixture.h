// The setting every window test starts from: a fresh program folder and data
// folder, recording fakes, and helpers to open the window and reach controls.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/modes.h"
#include "fileio/undo_log.h"
#include "platform/codec/codec.h"
#include "support/fake_desktop.h"
#include "support/fake_shell.h"
#include "ui/frm_quick_ren.h"

namespace velmora::testing {

inline QByteArray ReadBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

/// The undo log's bytes for a rename that left the file at `target` and whose
/// old name was `oldName`: the line as the log writes it, and its end.
inline QByteArray LogLine(const QString& target, const QString& oldName) {
  return QByteArray::fromStdString(EncodeText(UndoLine(target.toStdU16String(), oldName.toStdU16String()))) + "\r\n";
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

/// Empty when a button's caption shows whole: wrapped, it fits the button's
/// height, and no word is wider than the button less its frame; else what is cut.
inline QString ClippedCaption(const QPushButton* b) {
  const QFontMetrics fm(b->font());
  const int inner = b->width() - 6;
  const QRect needed = fm.boundingRect(QRect(0, 0, inner, 1000), Qt::TextWordWrap | Qt::AlignCenter, b->text());
  if (needed.height() > b->height() - 2) return b->objectName() + ": taller than the button";
  for (const QString& word : b->text().split(' '))
    if (fm.horizontalAdvance(word) > inner) return b->objectName() + ": " + word;
  return {};
}

class WindowFixture : public QObject {
 protected:
  std::unique_ptr<QTemporaryDir> program_;
  std::unique_ptr<QTemporaryDir> data_;
  std::unique_ptr<QTemporaryDir> home_;  // the user's state and settings folders
  FakeDesktop desktop_;
  FakeShell shell_;
  std::unique_ptr<frmQuickRen> window_;

  /// Fresh folders and fakes; call from each test's init().
  void Reset() {
    window_.reset();
    InitModes();
    program_ = std::make_unique<QTemporaryDir>();
    data_ = std::make_unique<QTemporaryDir>();
    home_ = std::make_unique<QTemporaryDir>();
    // Never the real user's folders: a log that falls back lands here.
    qputenv("XDG_STATE_HOME", QFile::encodeName(home_->filePath("state")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home_->filePath("config")));
    desktop_ = FakeDesktop();
    shell_ = FakeShell();
  }

  QString Data(const QString& name) const { return data_->filePath(name); }
  QString UndoLog() const { return program_->filePath("Undo.log"); }
  /// The log's place when the program folder cannot be written.
  QString StateLog() const { return home_->filePath("state/velmora/Undo.log"); }
  QStringList DataFiles() const { return QDir(data_->path()).entryList(QDir::Files, QDir::Name); }

  /// Builds the window on `commandLine`; shown and active unless `activate` is false.
  frmQuickRen* Open(const QString& commandLine, bool activate = true) {
    window_ = std::make_unique<frmQuickRen>(desktop_, shell_,
                                            WindowFacts(commandLine.toStdU16String(), program_->path().toStdU16String()));
    if (activate) {
      window_->show();
      if (!QTest::qWaitForWindowActive(window_.get())) return nullptr;
    }
    return window_.get();
  }
  /// Writes the data file `name`, then opens the window on it.
  frmQuickRen* OpenOn(const QString& name, const QByteArray& content = "data") {
    if (!WriteBytes(Data(name), content)) return nullptr;
    return Open(Data(name));
  }

  template <class T = QWidget>
  T* Control(const QString& name) const {
    return window_->findChild<T*>(name);
  }
  QLineEdit* Base() const { return Control<QLineEdit>("txtFileBaseName"); }
  QLineEdit* Ext() const { return Control<QLineEdit>("txtFileExt"); }
  void Click(const QString& name) {
    auto* button = Control<QAbstractButton>(name);
    QVERIFY2(button != nullptr, qPrintable(name));
    QTest::mouseClick(button, Qt::LeftButton);
  }
};

}  // namespace velmora::testing
