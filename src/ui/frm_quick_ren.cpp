#include "ui/frm_quick_ren.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QStringListModel>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <type_traits>
#include <variant>
#include <vector>

#include "fileio/paths.h"
#include "fileio/rename.h"
#include "fileio/undo_log.h"
#include "fileio/word_list.h"
#include "platform/application/application.h"
#include "platform/codec/codec.h"
#include "platform/errors/errors.h"
#include "platform/fs/filesystem.h"
#include "shell/run_file.h"
#include "transform/name_functions.h"
#include "transform/title.h"
#include "ui/qt_text.h"
#include "ui/widgets.h"
#include "ui/window_system.h"

// The icons live in a static library: the resource must be registered by hand.
static void InitIconResources() { Q_INIT_RESOURCE(velmora); }

namespace velmora {
namespace {

QStringList Families(Face face) {
  QStringList families;
  for (const char* family : face == Face::Verdana ? kVerdanaFamilies : kTahomaFamilies) families << family;
  return families;
}

QFont FontFor(const Control& control, const QFont& base) {
  if (control.face == Face::Default) return base;
  QFont font = base;
  font.setFamilies(Families(control.face));
  // Pixel sizes keep the text in proportion to the fixed pixel geometry.
  font.setPixelSize(qRound(control.points * 96.0 / 72.0));
  font.setBold(control.bold);
  return font;
}


/// Calls `onScreen` once, after the window's first exposure has been painted.
class FirstExposure : public QObject {
 public:
  FirstExposure(QWindow* window, std::function<void()> onScreen) : QObject(window), onScreen_(std::move(onScreen)) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
      watched->removeEventFilter(this);
      // Queued, so that the exposure is painted first: a Wayland compositor
      // ignores requests about a window that has no content yet.
      QMetaObject::invokeMethod(
          this,
          [this] {
            onScreen_();
            deleteLater();
          },
          Qt::QueuedConnection);
    }
    return false;
  }

 private:
  std::function<void()> onScreen_;
};

}  // namespace

void SetIcon(QWidget* window, const QString& resourceName, bool alsoOwner) {
  if (window == nullptr) return;
  // "AAA" is the program's icon set, in the sizes the platform may ask for;
  // read once, since the ready state and the activation both set it. Never
  // freed: pixmaps must not outlive the application object at exit.
  static const QIcon* const kProgramIcon = [] {
    auto* icon = new QIcon;
    for (int size : {16, 24, 32, 48}) icon->addPixmap(ReadImage(QStringLiteral(":/icons/velmora-%1.rgba").arg(size)));
    return icon;
  }();
  const QIcon icon = resourceName == QLatin1String("AAA") ? *kProgramIcon : QIcon();
  if (alsoOwner) {
    QWidget* owner = window;
    while (owner->parentWidget() != nullptr) owner = owner->parentWidget()->window();
    if (owner != window) owner->setWindowIcon(icon);
  }
  window->setWindowIcon(icon);
}

void SetLeftMargin(QLineEdit* textBox, int pixels) {
  if (textBox == nullptr) return;
  QMargins margins = textBox->textMargins();
  margins.setLeft(pixels);
  textBox->setTextMargins(margins);
}

frmQuickRen::frmQuickRen(Desktop& desktop, Shell& shell, AppFacts facts, QWidget* parent)
    : QDialog(parent), desktop_(desktop), shell_(shell), facts_(std::move(facts)) {
  InitIconResources();
  setObjectName("frmQuickRen");
  // An ordinary top-level window for the window manager. As a dialog (and on
  // X11 transient for Qt's hidden group leader) it passes for a dialog of the
  // active program and takes the focus from it.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFixedSize(812, 348);
  ConnectHandlers(BuildControls());
  Handler([this] { Form_Load(); });
}

// A window destroyed without closing still releases the log: CTextFile closes.
frmQuickRen::~frmQuickRen() = default;

QWidget* frmQuickRen::MakeControl(const Control& control) {
  const QString caption = QString::fromUtf8(control.caption);
  switch (control.kind) {
    case Kind::ReadOnlyText:
    case Kind::Text: {
      auto* box = new TextBox(this);
      if (control.kind == Kind::ReadOnlyText) {
        // Locked: selectable and copyable, on the button-face colour.
        box->setReadOnly(true);
        QPalette pal = box->palette();
        pal.setColor(QPalette::Base, pal.color(QPalette::Button));
        box->setPalette(pal);
      }
      return box;
    }
    case Kind::Button:
      return new CommandButton(caption, this);
    case Kind::Label: {
      auto* label = new QLabel(caption, this);
      // Sized to its text; never takes the focus.
      label->setFocusPolicy(Qt::NoFocus);
      return label;
    }
    case Kind::Picture:
      return new PictureButton(caption, this);
    case Kind::List: {
      auto* list = new QComboBox(this);
      list->setEditable(false);
      // Its size is fixed: measuring every name of a long list would only
      // slow the first show.
      list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
      return list;
    }
    case Kind::Banner: {
      auto* banner = new QWidget(this);
      banner->setAutoFillBackground(true);
      banner->setFocusPolicy(Qt::NoFocus);
      QPalette pal = banner->palette();
      pal.setColor(QPalette::Window, pal.color(QPalette::Highlight));
      banner->setPalette(pal);
      return banner;
    }
    case Kind::BannerLabel: {
      auto* label = new QLabel(picTitle);  // the banner comes first in the table
      label->setFocusPolicy(Qt::NoFocus);
      QPalette pal = label->palette();
      pal.setColor(QPalette::WindowText, Qt::white);
      label->setPalette(pal);
      label->setAttribute(Qt::WA_TranslucentBackground);
      return label;
    }
  }
  return nullptr;
}

std::vector<QWidget*> frmQuickRen::BuildControls() {
  std::vector<QWidget*> widgets;
  QWidget* previous = nullptr;
  WindowControls& named = *this;
  for (const Control& control : kControls) {
    QWidget* widget = MakeControl(control);
    widget->setObjectName(QString::fromUtf8(control.name));
    widget->setFont(FontFor(control, font()));
    const Rect& r = control.rect;
    widget->setGeometry(r.x, r.y, r.width, r.height);
    if (*control.tooltip != '\0') widget->setToolTip(QString::fromUtf8(control.tooltip));
    const char* accessible = control.kind == Kind::Picture ? control.tooltip : control.accessibleName;
    if (*accessible != '\0') widget->setAccessibleName(QString::fromUtf8(accessible));
    if (*control.description != '\0') widget->setAccessibleDescription(QString::fromUtf8(control.description));
    if (control.kind == Kind::Label) static_cast<QLabel*>(widget)->adjustSize();
    if (widget->focusPolicy() != Qt::NoFocus) {
      if (previous != nullptr) setTabOrder(previous, widget);
      previous = widget;
    }
    std::visit(
        [&](auto member) {
          if constexpr (!std::is_same_v<decltype(member), std::monostate>) {
            using Widget = std::remove_pointer_t<std::remove_reference_t<decltype(named.*member)>>;
            named.*member = static_cast<Widget*>(widget);
          }
        },
        control.fills);
    widgets.push_back(widget);
  }
  picTitle->lower();
  // The list is known by its label, to assistive technology too.
  Label2->setBuddy(cboWords);

  txtFileBaseName->installEventFilter(this);
  txtFileExt->installEventFilter(this);
  // The list reacts to the wheel only when it has the focus; otherwise a
  // scroll over it would pick a name and replace the one being edited.
  cboWords->setFocusPolicy(Qt::StrongFocus);
  cboWords->installEventFilter(this);
  return widgets;
}

void frmQuickRen::ConnectHandlers(const std::vector<QWidget*>& widgets) {
  for (std::size_t i = 0; i < widgets.size(); ++i) {
    const Control& control = kControls[i];
    if (control.click == Click::None && control.rewrite.apply == nullptr) continue;
    connect(static_cast<QAbstractButton*>(widgets[i]), &QAbstractButton::clicked, this,
            [this, &control] { Handler([&] { OnClick(control); }); });
  }
  nameFieldPalette_ = txtFileBaseName->palette();
  for (TextBox* field : {txtFileBaseName, txtFileExt})
    connect(field, &QLineEdit::textChanged, this, [this] { ShowNameHint(); });
  // `activated` is a pick by mouse or keyboard; opening and closing the list
  // without a pick sends nothing.
  connect(cboWords, &QComboBox::activated, this, [this](int index) { Handler([&] { cboWords_Click(index); }); });
}

void frmQuickRen::OnClick(const Control& control) {
  if (control.rewrite.apply != nullptr) {
    ApplyToBaseName(control.rewrite.apply, control.rewrite.onlyNonEmpty);
    return;
  }
  switch (control.click) {
    case Click::None: break;
    case Click::Cancel: cmdCancel_Click(); break;
    case Click::Rename: cmdRename_Click(); break;
    case Click::Run: cmdExec_Click(); break;
    case Click::Copy: picCopy_Click(); break;
    case Click::Cut: picCut_Click(); break;
    case Click::Delete: picDel_Click(); break;
    case Click::Paste: picPaste_Click(); break;
    case Click::Restore: btnRefresh_Click(); break;
    case Click::HtmlTitle: btnHtmlTitle_Click(); break;
    case Click::TextTitle: btnTextFile_Click(); break;
  }
}

template <class Body>
void frmQuickRen::Handler(Body body) {
  if (closing_) return;
  try {
    body();
  } catch (const RuntimeError& e) {
    // An error that no step handled ends the program after saying so.
    IgnoreErrors([&] { desktop_.MessageBox(e.Description(), AppTitle(), MessageIcon::Critical); });
    Unload();
    // Queued, so that an error during load (before the event loop runs) ends
    // the program too.
    QTimer::singleShot(0, qApp, [] { QApplication::exit(1); });
  }
}

template <class Transform>
void frmQuickRen::ApplyToBaseName(Transform transform, bool onlyNonEmpty) {
  Text result;
  IgnoreErrors([&] { result = transform(TextOf(txtFileBaseName->text())); });
  if (!onlyNonEmpty || !result.empty()) txtFileBaseName->ReplaceText(QStr(result));
  FocusBaseName();
}

void frmQuickRen::FocusBaseName() { txtFileBaseName->setFocus(Qt::OtherFocusReason); }

// ------------------------------------------------------------ lifecycle

void frmQuickRen::Form_Load() {
  const char16_t sep = NativeSeparator();
  mFullPath = facts_.chosenPath ? facts_.commandLine : PathFromCommandLine(facts_.commandLine);
  // A path part that overflows its 16-bit position stays empty; the rest runs.
  IgnoreErrors([&] { mFileName = GetFileName(mFullPath, sep); });
  IgnoreErrors([&] { mFileExt = GetFileExt(mFullPath, sep); });
  IgnoreErrors([&] { mFolder = GetFolderPath(mFullPath, sep); });
  txtFileName->setText(QStr(DisplayText(mFullPath)));
  txtFileTitle->setText(QStr(DisplayText(mFileName)));
  FillNameFields();
  mUndoLog = std::make_unique<UndoLogWriter>(UndoLogPath(facts_.programFolder, sep));

  SetLeftMargin(txtFileBaseName, 4);
  SetLeftMargin(txtFileExt, 4);

  QStringList names;
  for (const Text& name : ReadWordList(WordListPath(facts_.programFolder, sep))) names << QStr(name);
  // A plain string list: a long list must not cost an item object per name.
  cboWords->setModel(new QStringListModel(names, cboWords));
  cboWords->setCurrentIndex(-1);
}

void frmQuickRen::ShowAtStartup(bool minimised) {
  startMinimised_ = minimised;
  show();
  if (minimised) {
    EnsureActivated();
    setWindowState(windowState() | Qt::WindowMinimized);
  }
}

void frmQuickRen::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  ShowReadyState();
  if (QWindow* window = windowHandle()) new FirstExposure(window, [this] { OnScreen(); });
}

void frmQuickRen::OnScreen() {
  if (startMinimised_) {
    // Asked again where the first request may have come too early to count.
    if (MinimiseMayBeDropped()) setWindowState(windowState() | Qt::WindowMinimized);
    return;
  }
  // Asked for once the window is on screen: a compositor grants a launcher's
  // activation token only to a mapped window.
  if (!activated_ && ShouldRequestActivation()) activateWindow();
}

bool frmQuickRen::event(QEvent* e) {
  const bool result = QDialog::event(e);
  if (e->type() == QEvent::WindowActivate && !activated_) Handler([this] { Form_Activate(); });
  return result;
}

void frmQuickRen::EnsureActivated() {
  if (!activated_) Handler([this] { Form_Activate(); });
}

void frmQuickRen::ShowReadyState() {
  SetIcon(this, QStringLiteral("AAA"), true);
  ShowTitles();
  txtFileBaseName->setSelection(0, txtFileBaseName->text().size());
  FocusBaseName();
  readyState_ = CurrentBaseNameState();
  ShowNameHint();
}

void frmQuickRen::Form_Activate() {
  // Runs once: coming back from another program must not re-select the name.
  activated_ = true;
  SetIcon(this, QStringLiteral("AAA"), true);
  if (facts_.initModes) facts_.initModes();
  ShowTitles();
  // What the person did with the name since the ready state selected it
  // (typed, moved the caret, went to another field) stays as it is.
  if (!readyState_ || *readyState_ == CurrentBaseNameState()) {
    txtFileBaseName->setSelection(0, txtFileBaseName->text().size());
    FocusBaseName();
  }
  readyState_.reset();
}

void frmQuickRen::ShowTitles() {
  setWindowTitle(QStr(facts_.productName));
  lblTitle->setText(QStr(facts_.productName));
  lblTitle->adjustSize();
  lblTitle->resize(std::max(lblTitle->width(), 389), 16);
  const std::int32_t color = facts_.titleColor;
  QPalette pal = picTitle->palette();
  pal.setColor(QPalette::Window, QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF));
  picTitle->setPalette(pal);
}

frmQuickRen::BaseNameState frmQuickRen::CurrentBaseNameState() const {
  return {txtFileBaseName->text(), txtFileBaseName->cursorPosition(), txtFileBaseName->selectionStart(),
          txtFileBaseName->selectionLength(), focusWidget()};
}

void frmQuickRen::reject() { Handler([this] { cmdCancel_Click(); }); }

void frmQuickRen::keyPressEvent(QKeyEvent* key) {
  // Ctrl+Enter renames from any control, as a rename dialog's shortcut does;
  // the buttons pass it on instead of pressing themselves.
  if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && (key->modifiers() & Qt::ControlModifier)) {
    Handler([this] { cmdRename_Click(); });
    return;
  }
  QDialog::keyPressEvent(key);
}

void frmQuickRen::cmdCancel_Click() { Unload(); }

void frmQuickRen::Unload() {
  if (unloaded_) return;
  BeginClosing();
  close();
}

void frmQuickRen::BeginClosing() {
  if (closing_) return;
  closing_ = true;
  // Events already queued for the window (keys typed fast, a second click)
  // are delivered after this: the application's filter drops them.
  qApp->installEventFilter(this);
}

void frmQuickRen::closeEvent(QCloseEvent* event) {
  // Unloading is never cancelled. QDialog's own closeEvent would call
  // reject() again, so it is not called.
  BeginClosing();
  if (!unloaded_) {
    unloaded_ = true;
    Form_Unload();
  }
  event->accept();
}

void frmQuickRen::Form_Unload() {
  mUndoLog.reset();  // closes the log
}

// ------------------------------------------------------------ rename

void frmQuickRen::cmdRename_Click() {
  // A window renames once: a second Enter or click while this one runs (or
  // queued behind it) does nothing.
  BeginClosing();
  // RenameFromFields reports its failures in the result, never by raising.
  const RenameResult outcome =
      RenameFromFields(mFullPath, mFolder, TextOf(txtFileBaseName->text()), TextOf(txtFileExt->text()));
  // The line goes to the log before any message: nothing the person does
  // while a box is open can come between the rename and its line.
  const UndoLogWrite logged =
      mUndoLog ? mUndoLog->Append(outcome.undoText) : UndoLogWrite{false, u"the log could not be opened"};
  // A failed rename must never look like success.
  if (!outcome.report.empty())
    IgnoreErrors([&] { desktop_.MessageBox(DisplayText(outcome.report), AppTitle(), MessageIcon::Critical); });
  // A line the log could not take (a full disk, a log that would not open) is
  // said, with the line, so that the rename can still be undone by hand.
  if (!logged.written && !outcome.undoText.empty()) {
    const Text logPath = mUndoLog ? mUndoLog->Path() : Text();
    IgnoreErrors([&] {
      desktop_.MessageBox(u"The file was renamed, but its undo line could not be written to \"" +
                              DisplayText(logPath) + u"\" (" + logged.reason + u"):\r\n\r\n" +
                              DisplayText(outcome.undoText),
                          AppTitle(), MessageIcon::Exclamation);
    });
  }
  Unload();
}

// ------------------------------------------------------------ key filters

namespace {
/// Input that could make a control act: keys, clicks, the wheel, text from
/// an input method, a drop.
bool IsInput(const QEvent* e) {
  switch (e->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::InputMethod:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
      return true;
    default:
      return false;
  }
}
}  // namespace

bool frmQuickRen::eventFilter(QObject* watched, QEvent* e) {
  // Once closing, this window takes no input; other windows (a message box
  // of the rename) keep theirs.
  if (closing_ && IsInput(e) && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this)
    return true;
  if ((watched == txtFileBaseName || watched == txtFileExt) && e->type() == QEvent::KeyPress)
    return NameField_KeyPress(static_cast<QKeyEvent*>(e));
  if (watched == cboWords && e->type() == QEvent::Wheel && !cboWords->hasFocus()) return true;
  return QDialog::eventFilter(watched, e);
}

// txtFileBaseName_KeyPress and txtFileExt_KeyPress: both fields filter alike.
bool frmQuickRen::NameField_KeyPress(QKeyEvent* key) {
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
    Handler([this] { cmdRename_Click(); });
    return true;
  }
  const QString typed = key->text();
  if (typed.size() == 1 && kRefusedNameChars.find(typed.at(0).unicode()) != TextView::npos) {
    IgnoreErrors([&] { desktop_.Beep(); });
    return true;
  }
  return false;
}

// ------------------------------------------------------------ edit buttons

void frmQuickRen::picCopy_Click() {
  const QString selected = txtFileBaseName->selectedText();
  if (!selected.isEmpty()) IgnoreErrors([&] { desktop_.SetClipboardText(TextOf(selected)); });
  FocusBaseName();
}

void frmQuickRen::picCut_Click() {
  const QString selected = txtFileBaseName->selectedText();
  if (!selected.isEmpty()) {
    // A clipboard that cannot be written still lets the cut remove the text.
    IgnoreErrors([&] { desktop_.SetClipboardText(TextOf(selected)); });
    txtFileBaseName->insert(QString());
  }
  FocusBaseName();
}

void frmQuickRen::picDel_Click() {
  // Never deletes at the caret: only a selection is removed.
  if (txtFileBaseName->hasSelectedText()) txtFileBaseName->insert(QString());
  FocusBaseName();
}

void frmQuickRen::picPaste_Click() {
  // A clipboard that cannot be read leaves the name as it is.
  IgnoreErrors([&] { txtFileBaseName->insert(QStr(desktop_.ClipboardText())); });
  FocusBaseName();
}

// ------------------------------------------------------------ other commands

void frmQuickRen::FillNameFields(bool undoable) {
  auto fill = [undoable](TextBox* box, const Text& text) {
    if (undoable)
      box->ReplaceText(QStr(text));
    else
      box->setText(QStr(text));
  };
  // Every "." + extension goes, not only the last: load and restore agree.
  fill(txtFileBaseName, ReplaceAll(mFileName, u"." + mFileExt, u""));
  fill(txtFileExt, mFileExt);
}

void frmQuickRen::btnRefresh_Click() {
  FillNameFields(true);
  FocusBaseName();
}

void frmQuickRen::cboWords_Click(int index) {
  if (index >= 0) txtFileBaseName->ReplaceText(cboWords->itemText(index));
  FocusBaseName();
}

void frmQuickRen::ShowNameHint() {
  // Load fills both fields: the ready state says it once, not per field.
  if (!shown_ || closing_ || mFullPath.empty()) return;
  RenameHint hint;
  IgnoreErrors([&] {
    hint = HintForFields(mFullPath, mFolder, TextOf(txtFileBaseName->text()), TextOf(txtFileExt->text()));
  });
  QPalette pal = nameFieldPalette_;
  if (hint.kind != RenameHint::Kind::None) {
    const bool fails = hint.kind == RenameHint::Kind::Refused || hint.kind == RenameHint::Kind::TooLong;
    pal.setColor(QPalette::Base, fails ? QColor(0xFD, 0xE2, 0xE1) : QColor(0xFF, 0xF3, 0xCD));
    pal.setColor(QPalette::Text, QColor(0x20, 0x20, 0x20));
  }
  const QString text = QStr(DisplayText(hint.text));
  for (TextBox* field : {txtFileBaseName, txtFileExt}) {
    field->setPalette(pal);
    field->setToolTip(text);
    field->setAccessibleDescription(text);
  }
}

void frmQuickRen::btnHtmlTitle_Click() {
  ApplyToBaseName([this](TextView) { return GetHtmlTitle(mFullPath, kTitleLength); }, true);
}

void frmQuickRen::btnTextFile_Click() {
  ApplyToBaseName([this](TextView) { return GetTextTitle(mFullPath, kTitleLength); }, true);
}

void frmQuickRen::cmdExec_Click() {
  IgnoreErrors([&] { RunFile(desktop_, shell_, mFullPath, show::kNormal); });
}

}  // namespace velmora
