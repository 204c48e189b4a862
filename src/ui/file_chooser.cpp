#include "ui/file_chooser.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>

#include "platform/codec/codec.h"
#include "platform/shell/real_shell.h"
#include "ui/qt_text.h"

namespace velmora {
namespace {

#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
// The system's own dialog is the desktop's chooser there.
const QFileDialog::Options kDialogOptions = {};
Text PathText(const QString& path) { return TextOf(QDir::toNativeSeparators(path)); }
#else
// Without a portal, Qt's own dialog: a full path typed into its name field is
// taken on Enter, which a platform theme's dialog may not do.
const QFileDialog::Options kDialogOptions = QFileDialog::DontUseNativeDialog;
// As the command line would give it: the name's bytes, decoded losslessly.
Text PathText(const QString& path) { return FromNativePath(QFile::encodeName(path).toStdString()); }
#endif

const Text kTitle = u"Choose the file to rename";

}  // namespace

std::optional<Text> DesktopFileChooser::ChooseFile() {
  const ChosenFile fromDesktop = ChooseFileWithDesktop(kTitle);
  if (fromDesktop.outcome == ChosenFile::Chosen) return fromDesktop.path;
  if (fromDesktop.outcome == ChosenFile::Cancelled) return std::nullopt;
  // Qt's dialog writes the folders visited to QtProject.conf when it is
  // destroyed. It is kept, hidden, until the process ends without tearing
  // Qt down (EndProcessNow), so the program stores nothing.
  auto* dialog = new QFileDialog(nullptr, QStr(kTitle), QDir::currentPath());
  dialog->setOptions(kDialogOptions);
  dialog->setFileMode(QFileDialog::ExistingFile);
  const QString path = dialog->exec() == QDialog::Accepted ? dialog->selectedFiles().value(0) : QString();
  if (path.isEmpty()) return std::nullopt;
  return PathText(path);
}

}  // namespace velmora
