#include "ui/frm_quick_ren.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QStringListModel>
#include <QTimer>
#include <QVector>
#include <QWindow>
#include <functional>

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


// Fonts are asked for by family; the fall-backs are the closest shapes a Linux
// desktop usually has (Verdana is wide, Tahoma narrow).
const QStringList kVerdana = {"Verdana", "DejaVu Sans", "Bitstream Vera Sans", "Liberation Sans", "Arial"};
const QStringList kTahoma = {"Tahoma", "DejaVu Sans Condensed", "Liberation Sans Narrow", "Arial Narrow",
                             "DejaVu Sans"};

enum class Kind { ReadOnlyText, Text, Button, Label, Picture, List, Banner, BannerLabel };
enum class Face { Default, Verdana, Tahoma };

struct ControlLayout {
  const char* name;
  Kind kind;
  const char* caption;  // caption, or the image of a picture button
  const char* tooltip;
  int x, y, width, height;
  Face face;
  double points;
  bool bold;
  // What assistive technology calls a control that has no caption of its own;
  // a picture button is called by its tooltip.
  const char* accessibleName = "";
};

// In tab order. Positions in pixels (twips / 15), lblTitle relative to the banner.
const ControlLayout kControls[] = {
    {"txtFileName", Kind::ReadOnlyText, "", "", 8, 32, 757, 27, Face::Verdana, 9.75, false, "Full path"},
    {"cmdCancel", Kind::Button, "Cancel", "", 680, 316, 125, 25, Face::Verdana, 9.75, false},
    {"txtFileTitle", Kind::ReadOnlyText, "", "", 8, 68, 793, 27, Face::Verdana, 9.75, false, "File name"},
    {"txtFileBaseName", Kind::Text, "", "", 8, 144, 721, 27, Face::Tahoma, 9.75, false, "Base name"},
    {"txtFileExt", Kind::Text, "", "", 744, 144, 57, 27, Face::Tahoma, 9.75, false, "Extension"},
    {"btnTrim", Kind::Button, "Trim", "", 12, 184, 69, 29, Face::Verdana, 8.25, true},
    {"btnLCase", Kind::Button, "abc", "Lowercase", 84, 220, 69, 29, Face::Verdana, 8.25, true},
    {"btnUCase", Kind::Button, "ABC", "Uppercase", 12, 220, 69, 29, Face::Verdana, 8.25, true},
    {"btnTitleCase", Kind::Button, "Abc Def", "Title Case", 156, 220, 69, 29, Face::Verdana, 8.25, true},
    {"Label1", Kind::Label, ".", "", 734, 144, 7, 23, Face::Verdana, 14.25, true},
    {"cmdRename", Kind::Button, "Rename!", "", 540, 316, 129, 25, Face::Verdana, 9.75, false},
    {"btnSentenceCase", Kind::Button, "Abc def", "Sentence Case", 228, 220, 69, 29, Face::Verdana, 8.25, true},
    {"btnCompSpc", Kind::Button, "Compact Spc", "", 84, 184, 69, 29, Face::Verdana, 8.25, true},
    {"btnHtmlTitle", Kind::Button, "HTML Title", "", 12, 256, 109, 29, Face::Verdana, 8.25, true},
    {"picDel", Kind::Picture, ":/icons/delete.rgba", "Delete", 92, 120, 20, 20, Face::Default, 0, false},
    {"picCut", Kind::Picture, ":/icons/cut.rgba", "Cut", 8, 120, 20, 20, Face::Default, 0, false},
    {"picCopy", Kind::Picture, ":/icons/copy.rgba", "Copy", 36, 120, 20, 20, Face::Default, 0, false},
    {"picPaste", Kind::Picture, ":/icons/paste.rgba", "Paste", 64, 120, 20, 20, Face::Default, 0, false},
    {"btnUnescape", Kind::Button, "Unescape %nn", "", 148, 308, 109, 29, Face::Verdana, 8.25, true},
    {"btnRefresh", Kind::Picture, ":/icons/refresh.rgba", "Restore name", 120, 120, 20, 20, Face::Default, 0, false},
    {"Command1", Kind::Button, "- to _", "", 332, 188, 69, 29, Face::Verdana, 8.25, true},
    {"Command2", Kind::Button, "Remove Spc", "", 156, 184, 69, 29, Face::Verdana, 8.25, true},
    {"Command3", Kind::Button, "_ to -", "", 404, 188, 69, 29, Face::Verdana, 8.25, true},
    {"btnRemoveNonAlpha", Kind::Button, "Remove non alphanumeric", "", 12, 300, 133, 37, Face::Verdana, 8.25,
     true},
    {"cmdExec", Kind::Button, "run", "", 772, 32, 33, 29, Face::Verdana, 8.25, false},
    {"btnTextFile", Kind::Button, "Text Title", "", 124, 256, 109, 29, Face::Verdana, 8.25, true},
    {"cmdCamelCase", Kind::Button, "split CamelCase", "", 264, 308, 109, 29, Face::Verdana, 8.25, true},
    {"cboWords", Kind::List, "", "", 588, 248, 205, 21, Face::Verdana, 8.25, false},
    {"Label2", Kind::Label, "Often used names", "", 588, 232, 104, 13, Face::Verdana, 8.25, false},
    {"picTitle", Kind::Banner, "", "", 0, 0, 811, 25, Face::Default, 0, false},
    {"lblTitle", Kind::BannerLabel, "", "", 8, 4, 389, 16, Face::Tahoma, 11.25, false},
};

QFont FontFor(const ControlLayout& layout, const QFont& base) {
  if (layout.face == Face::Default) return base;
  QFont font = base;
  font.setFamilies(layout.face == Face::Verdana ? kVerdana : kTahoma);
  // Pixel sizes keep the text in proportion to the fixed pixel geometry.
  font.setPixelSize(qRound(layout.points * 96.0 / 72.0));
  font.setBold(layout.bold);
  return font;
}

constexpr char16_t kRefused[] = u"\\/:*?<>|\"";

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
  // "AAA" is the program's icon set, in the sizes the platform may ask for.
  QIcon icon;
  if (resourceName == QLatin1String("AAA")) {
    for (int size : {16, 24, 32, 48}) icon.addPixmap(ReadImage(QStringLiteral(":/icons/velmora-%1.rgba").arg(size)));
  }
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
  BuildControls();
  ConnectHandlers();
  Handler([this] { Form_Load(); });
}

frmQuickRen::~frmQuickRen() {
  // A window destroyed without closing still releases the log.
  IgnoreErrors([this] {
    if (mUndoLog && mUndoLog->FileHandle() != 0) mUndoLog->FileClose();
  });
}

void frmQuickRen::BuildControls() {
  QWidget* previous = nullptr;
  for (const ControlLayout& layout : kControls) {
    const QString caption = QString::fromUtf8(layout.caption);
    QWidget* widget = nullptr;
    switch (layout.kind) {
      case Kind::ReadOnlyText:
      case Kind::Text: {
        auto* box = new TextBox(this);
        if (layout.kind == Kind::ReadOnlyText) {
          // Locked: selectable and copyable, on the button-face colour.
          box->setReadOnly(true);
          QPalette pal = box->palette();
          pal.setColor(QPalette::Base, pal.color(QPalette::Button));
          box->setPalette(pal);
        }
        widget = box;
        break;
      }
      case Kind::Button: {
        auto* button = new CommandButton(caption, this);
        widget = button;
        break;
      }
      case Kind::Label: {
        auto* label = new QLabel(caption, this);
        widget = label;
        break;
      }
      case Kind::Picture:
        widget = new PictureButton(caption, this);
        break;
      case Kind::List: {
        auto* list = new QComboBox(this);
        list->setEditable(false);
        // Its size is fixed: measuring every name of a long list would only
        // slow the first show.
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        widget = list;
        break;
      }
      case Kind::Banner: {
        auto* banner = new QWidget(this);
        banner->setAutoFillBackground(true);
        QPalette pal = banner->palette();
        pal.setColor(QPalette::Window, pal.color(QPalette::Highlight));
        banner->setPalette(pal);
        banner->lower();
        widget = banner;
        break;
      }
      case Kind::BannerLabel: {
        auto* label = new QLabel(picTitle);
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(pal);
        label->setAttribute(Qt::WA_TranslucentBackground);
        widget = label;
        break;
      }
    }
    widget->setObjectName(QString::fromUtf8(layout.name));
    widget->setFont(FontFor(layout, font()));
    widget->setGeometry(layout.x, layout.y, layout.width, layout.height);
    if (*layout.tooltip != '\0') widget->setToolTip(QString::fromUtf8(layout.tooltip));
    if (*layout.accessibleName != '\0')
      widget->setAccessibleName(QString::fromUtf8(layout.accessibleName));
    else if (layout.kind == Kind::Picture)
      widget->setAccessibleName(QString::fromUtf8(layout.tooltip));
    if (layout.kind == Kind::Label) {
      // Labels are sized to their text and never take the focus.
      widget->setFocusPolicy(Qt::NoFocus);
      static_cast<QLabel*>(widget)->adjustSize();
    }
    if (layout.kind == Kind::Banner || layout.kind == Kind::BannerLabel) widget->setFocusPolicy(Qt::NoFocus);
    if (widget->focusPolicy() != Qt::NoFocus) {
      if (previous != nullptr) setTabOrder(previous, widget);
      previous = widget;
    }
    if (layout.kind == Kind::Banner) picTitle = widget;
  }

  auto find = [this](const char* name) { return findChild<QWidget*>(QString::fromUtf8(name)); };
  lblTitle = static_cast<QLabel*>(find("lblTitle"));
  Label1 = static_cast<QLabel*>(find("Label1"));
  Label2 = static_cast<QLabel*>(find("Label2"));
  txtFileName = static_cast<TextBox*>(find("txtFileName"));
  txtFileTitle = static_cast<TextBox*>(find("txtFileTitle"));
  txtFileBaseName = static_cast<TextBox*>(find("txtFileBaseName"));
  txtFileExt = static_cast<TextBox*>(find("txtFileExt"));
  cmdCancel = static_cast<QPushButton*>(find("cmdCancel"));
  cmdRename = static_cast<QPushButton*>(find("cmdRename"));
  cmdExec = static_cast<QPushButton*>(find("cmdExec"));
  cboWords = static_cast<QComboBox*>(find("cboWords"));
  picTitle->lower();
  // The list is known by its label, to assistive technology too.
  Label2->setBuddy(cboWords);

  txtFileBaseName->installEventFilter(this);
  txtFileExt->installEventFilter(this);
  // The list reacts to the wheel only when it has the focus; otherwise a
  // scroll over it would pick a name and replace the one being edited.
  cboWords->setFocusPolicy(Qt::StrongFocus);
  cboWords->installEventFilter(this);
}

void frmQuickRen::ConnectHandlers() {
  auto onClick = [this](const char* name, auto handler) {
    auto* button = findChild<QAbstractButton*>(QString::fromUtf8(name));
    connect(button, &QAbstractButton::clicked, this, [this, handler] { Handler([this, handler] { (this->*handler)(); }); });
  };
  auto onCommand = [this](const char* name, Text (*transform)(TextView), bool onlyNonEmpty) {
    auto* button = findChild<QAbstractButton*>(QString::fromUtf8(name));
    connect(button, &QAbstractButton::clicked, this,
            [this, transform, onlyNonEmpty] { Handler([&] { ApplyToBaseName(transform, onlyNonEmpty); }); });
  };

  onClick("cmdCancel", &frmQuickRen::cmdCancel_Click);
  onClick("cmdRename", &frmQuickRen::cmdRename_Click);
  onClick("cmdExec", &frmQuickRen::cmdExec_Click);
  onClick("picCopy", &frmQuickRen::picCopy_Click);
  onClick("picCut", &frmQuickRen::picCut_Click);
  onClick("picDel", &frmQuickRen::picDel_Click);
  onClick("picPaste", &frmQuickRen::picPaste_Click);
  onClick("btnRefresh", &frmQuickRen::btnRefresh_Click);
  onClick("btnHtmlTitle", &frmQuickRen::btnHtmlTitle_Click);
  onClick("btnTextFile", &frmQuickRen::btnTextFile_Click);

  onCommand("btnLCase", [](TextView s) { return LCase(s); }, false);
  onCommand("btnUCase", [](TextView s) { return UCase(s); }, false);
  onCommand("btnTitleCase", [](TextView s) { return ProperCase(s); }, false);
  onCommand("btnSentenceCase", [](TextView s) { return SentenceCase(s); }, false);
  onCommand("btnTrim", [](TextView s) { return Trim(s); }, false);
  onCommand("btnCompSpc", [](TextView s) { return CompactSpaces(s); }, false);
  onCommand("Command1", [](TextView s) { return ReplaceAll(s, u"-", u"_"); }, false);
  onCommand("Command2", [](TextView s) { return ReplaceAll(s, u" ", u""); }, false);
  onCommand("Command3", [](TextView s) { return ReplaceAll(s, u"_", u"-"); }, false);
  onCommand("btnRemoveNonAlpha", [](TextView s) { return Trim(RemoveNonAlphanumeric(s)); }, true);
  onCommand("btnUnescape", [](TextView s) { return UnescapePercent(s); }, true);
  onCommand("cmdCamelCase", [](TextView s) { return SplitCamelCase(s); }, true);

  // `activated` is a pick by mouse or keyboard; opening and closing the list
  // without a pick sends nothing.
  connect(cboWords, &QComboBox::activated, this, [this](int index) { Handler([&] { cboWords_Click(index); }); });
}

template <class Body>
void frmQuickRen::Handler(Body body) {
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
  // Every step up to the size check may fail on its own; the rest still runs.
  IgnoreErrors([&] { mFullPath = PathFromCommandLine(facts_.commandLine); });
  IgnoreErrors([&] { mFileName = GetFileName(mFullPath, sep); });
  IgnoreErrors([&] { mFileExt = GetFileExt(mFullPath, sep); });
  IgnoreErrors([&] { mFolder = GetFolderPath(mFullPath, sep); });
  IgnoreErrors([&] {
    txtFileName->setText(QStr(DisplayText(mFullPath)));
    txtFileTitle->setText(QStr(DisplayText(mFileName)));
  });
  FillNameFields();
  IgnoreErrors([&] { undoLogPath_ = UndoLogPath(facts_.programFolder, sep); });
  ApplyUndoLogSizeRule(undoLogPath_);

  mUndoLog = std::make_unique<CTextFile>();
  mUndoLog->FileOpen(undoLogPath_, 2);

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
  IgnoreErrors([&] {
    txtFileBaseName->setSelection(0, txtFileBaseName->text().size());
    FocusBaseName();
  });
  readyState_ = CurrentBaseNameState();
}

void frmQuickRen::Form_Activate() {
  // Runs once: coming back from another program must not re-select the name.
  activated_ = true;
  SetIcon(this, QStringLiteral("AAA"), true);
  if (facts_.initModes) facts_.initModes();
  ShowTitles();
  IgnoreErrors([&] {
    // What the person did with the name since the ready state selected it
    // (typed, moved the caret, went to another field) stays as it is.
    if (readyState_ && *readyState_ != CurrentBaseNameState()) return;
    txtFileBaseName->setSelection(0, txtFileBaseName->text().size());
    FocusBaseName();
  });
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

void frmQuickRen::cmdCancel_Click() { Unload(); }

void frmQuickRen::Unload() {
  if (unloading_) return;
  close();
}

void frmQuickRen::closeEvent(QCloseEvent* event) {
  // Unloading is never cancelled. QDialog's own closeEvent would call
  // reject() again, so it is not called.
  unloading_ = true;
  Form_Unload();
  event->accept();
}

void frmQuickRen::Form_Unload() {
  IgnoreErrors([&] {
    if (mUndoLog) mUndoLog->FileClose();
  });
  mUndoLog.reset();
}

// ------------------------------------------------------------ rename

void frmQuickRen::cmdRename_Click() {
  RenameOutcome outcome;
  IgnoreErrors([&] {
    outcome = RenameFromFields(mFullPath, mFolder, TextOf(txtFileBaseName->text()), TextOf(txtFileExt->text()));
  });
  // A failed rename must never look like success.
  if (!outcome.report.empty())
    IgnoreErrors([&] { desktop_.MessageBox(DisplayText(outcome.report), AppTitle(), MessageIcon::Critical); });
  ErrState logged;
  const bool logOpen = mUndoLog && mUndoLog->FileHandle() != 0;
  IgnoreErrors(logged, [&] {
    if (mUndoLog) mUndoLog->WriteLnStr(outcome.undoText);
  });
  // A log that never opened loses its line quietly; a line that an open log
  // could not take (a full disk) is said, with the line, so it can be kept.
  if (logged.number != 0 && logOpen && !outcome.undoText.empty()) {
    IgnoreErrors([&] {
      desktop_.MessageBox(u"The file was renamed, but its undo line could not be written to \"" +
                              DisplayText(undoLogPath_) + u"\" (" + logged.description + u"):\r\n\r\n" +
                              DisplayText(outcome.undoText),
                          AppTitle(), MessageIcon::Exclamation);
    });
  }
  Unload();
}

// ------------------------------------------------------------ key filters

bool frmQuickRen::eventFilter(QObject* watched, QEvent* e) {
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
  if (typed.size() == 1 && std::u16string_view(kRefused).find(typed.at(0).unicode()) != std::u16string_view::npos) {
    IgnoreErrors([&] { desktop_.Beep(); });
    return true;
  }
  return false;
}

// ------------------------------------------------------------ edit buttons

void frmQuickRen::picCopy_Click() {
  IgnoreErrors([&] {
    const QString selected = txtFileBaseName->selectedText();
    if (!selected.isEmpty()) desktop_.SetClipboardText(TextOf(selected));
  });
  FocusBaseName();
}

void frmQuickRen::picCut_Click() {
  IgnoreErrors([&] {
    const QString selected = txtFileBaseName->selectedText();
    if (selected.isEmpty()) return;
    IgnoreErrors([&] { desktop_.SetClipboardText(TextOf(selected)); });
    txtFileBaseName->insert(QString());
  });
  FocusBaseName();
}

void frmQuickRen::picDel_Click() {
  // Never deletes at the caret: only a selection is removed.
  if (txtFileBaseName->hasSelectedText()) txtFileBaseName->insert(QString());
  FocusBaseName();
}

void frmQuickRen::picPaste_Click() {
  IgnoreErrors([&] {
    const Text clip = desktop_.ClipboardText();
    txtFileBaseName->insert(QStr(clip));
  });
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
  IgnoreErrors([&] { fill(txtFileBaseName, ReplaceAll(mFileName, u"." + mFileExt, u"")); });
  IgnoreErrors([&] { fill(txtFileExt, mFileExt); });
}

void frmQuickRen::btnRefresh_Click() {
  FillNameFields(true);
  FocusBaseName();
}

void frmQuickRen::cboWords_Click(int index) {
  IgnoreErrors([&] {
    if (index >= 0) txtFileBaseName->ReplaceText(cboWords->itemText(index));
  });
  FocusBaseName();
}

void frmQuickRen::btnHtmlTitle_Click() {
  ApplyToBaseName([this](TextView) { return GetHtmlTitle(mFullPath, 100); }, true);
}

void frmQuickRen::btnTextFile_Click() {
  ApplyToBaseName([this](TextView) { return GetTextTitle(mFullPath, 100); }, true);
}

void frmQuickRen::cmdExec_Click() {
  IgnoreErrors([&] { RunFile(desktop_, shell_, mFullPath, show::kNormal); });
}

}  // namespace velmora
