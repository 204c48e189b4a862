// frmQuickRen: the rename window. Its handlers are thin: they read a field,
// call a function of the core and write the result back.
#pragma once

#include <QDialog>
#include <QPalette>
#include <memory>
#include <optional>
#include <vector>

#include "fileio/undo_log.h"
#include "platform/shell/desktop.h"
#include "platform/shell/shell.h"
#include "platform/text/text.h"
#include "ui/app_facts.h"
#include "ui/control_table.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QAbstractButton;

namespace velmora {

class TextBox;

/// Sets the window's icon, and with `alsoOwner` its top-level owner's, to the
/// icon set `resourceName` ("AAA").
void SetIcon(QWidget* window, const QString& resourceName, bool alsoOwner);
/// Sets the inner left margin of a single-line text box; null does nothing.
void SetLeftMargin(QLineEdit* textBox, int pixels);

class frmQuickRen : public QDialog, private WindowControls {
  Q_OBJECT
 public:
  /// Builds the window and runs its load handler; `desktop` and `shell` must
  /// outlive it.
  frmQuickRen(Desktop& desktop, Shell& shell, AppFacts facts, QWidget* parent = nullptr);
  ~frmQuickRen() override;

  /// Shows the window as start-up does; with `minimised` it is minimised once
  /// the load and activation handlers have run in full.
  void ShowAtStartup(bool minimised);
  /// Runs the activation handler now unless it has run (it runs only once).
  void EnsureActivated();
  /// Whether the activation handler has run.
  bool Activated() const { return activated_; }

  /// The path the load handler took from the command line, for tests.
  const Text& FullPath() const { return mFullPath; }

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* key) override;

 public slots:
  /// Esc: the cancel button's click.
  void reject() override;

 private:
  /// Makes the controls of kControls in their order, fills the named members.
  std::vector<QWidget*> BuildControls();
  QWidget* MakeControl(const Control& control);
  /// Connects each control's click (`widgets` in the order of kControls).
  void ConnectHandlers(const std::vector<QWidget*>& widgets);
  /// A row's rewrite of the base name, else its handler.
  void OnClick(const Control& control);

  void Form_Load();
  /// The look and selection of activation, at once on the first show: a
  /// window manager keeping the focus elsewhere, or a compositor that never
  /// activates, must not leave the window without them.
  void ShowReadyState();
  /// Called once, after the window's first exposure has been painted.
  void OnScreen();
  void Form_Activate();
  void Form_Unload();
  void Unload();
  /// From here on no handler acts and no input reaches the window: a key
  /// queued behind Esc or behind the first Enter must change nothing.
  void BeginClosing();

  void cmdCancel_Click();
  void cmdRename_Click();
  void cmdExec_Click();
  bool NameField_KeyPress(QKeyEvent* key);
  void picCopy_Click();
  void picCut_Click();
  void picDel_Click();
  void picPaste_Click();
  /// Base name and extension as load first fills them. Restore fills them
  /// again as an `undoable` step of each field's own history (Ctrl+Z).
  void FillNameFields(bool undoable = false);
  void btnRefresh_Click();
  void cboWords_Click(int index);
  /// Tints the name fields and says in their tooltip and accessible
  /// description what "Rename!" would do with a taken, hidden, too long or
  /// refused name; plain fields when it would simply rename.
  void ShowNameHint();
  void btnHtmlTitle_Click();
  void btnTextFile_Click();

  /// Writes `transform(base name)` back, always or only a non-empty result, as
  /// one step of the field's undo history: a row's rewrite, or a title.
  template <class Transform>
  void ApplyToBaseName(Transform transform, bool onlyNonEmpty);
  void FocusBaseName();
  /// Caption, banner label and banner colour.
  void ShowTitles();
  /// What the person can change about the base name before activation.
  struct BaseNameState {
    QString text;
    int cursor = 0, selectionStart = -1, selectionLength = 0;
    QWidget* focus = nullptr;
    bool operator==(const BaseNameState&) const = default;
  };
  BaseNameState CurrentBaseNameState() const;
  /// Runs a handler; a run-time error reaching its top is reported and ends
  /// the program.
  template <class Body>
  void Handler(Body body);

  Desktop& desktop_;
  Shell& shell_;
  AppFacts facts_;
  bool activated_ = false;
  bool closing_ = false;   // unloading has begun, or the window's one rename
  bool unloaded_ = false;  // Form_Unload has run
  bool shown_ = false;
  bool startMinimised_ = false;
  /// The base name as the ready state left it, while that state applies.
  std::optional<BaseNameState> readyState_;

  Text mFullPath;
  Text mFolder;
  Text mFileName;
  Text mFileExt;
  std::unique_ptr<UndoLogWriter> mUndoLog;  // held open from load to unload
  QPalette nameFieldPalette_;  // the name fields' own, restored when no hint applies

};

}  // namespace velmora
