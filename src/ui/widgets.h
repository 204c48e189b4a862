// Small widgets that give Qt controls the behaviour the rename window needs.
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace velmora {

/// An image of the program's resources. "*.rgba" holds a square image as raw,
/// uncompressed RGBA bytes, which start-up takes as they are: decoding PNGs
/// would cost it libpng and zlib. Other files are read as PNG with Qt's
/// built-in decoder, without searching the image plugins.
QPixmap ReadImage(const QString& path);

/// A single-line text box whose selection survives losing the focus, so the
/// picture buttons can act on what the person selected before clicking.
class TextBox : public QLineEdit {
  Q_OBJECT
 public:
  using QLineEdit::QLineEdit;
  /// Replaces the whole text as one step of the box's own undo history, so
  /// Ctrl+Z takes it back (setText would wipe the history). Like setText, it
  /// leaves the caret at the end with nothing selected.
  void ReplaceText(const QString& text);

 protected:
  void focusOutEvent(QFocusEvent* event) override;
};

/// A command button whose caption wraps onto several lines when it does not
/// fit on one (Qt push buttons never wrap).
class CommandButton : public QPushButton {
  Q_OBJECT
 public:
  explicit CommandButton(const QString& caption, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
  /// Enter presses the focused button, as on Windows, though none is default.
  void keyPressEvent(QKeyEvent* event) override;
};

/// A borderless image that reacts to a click. It is reachable with Tab but a
/// mouse click does not take the focus from the text box being edited.
/// The contrast ratio of two colours, from 1 (the same) to 21 (black and white).
double ContrastRatio(const QColor& a, const QColor& b);

class PictureButton : public QAbstractButton {
  Q_OBJECT
 public:
  PictureButton(const QString& imagePath, QWidget* parent = nullptr);
  QSize sizeHint() const override { return {20, 20}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  /// Enter presses the focused button, like Space.
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace velmora
