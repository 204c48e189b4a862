#include "ui/widgets.h"

#include <QApplication>
#include <QFile>
#include <QFocusEvent>
#include <QPen>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QPainter>
#include <QResource>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QtMath>
#include <cmath>

namespace velmora {

QPixmap ReadImage(const QString& path) {
  if (path.endsWith(QLatin1String(".rgba"))) {
    const QResource raw(path);
    const qint64 bytes = raw.size();
    const int side = qRound(std::sqrt(double(bytes / 4)));
    if (raw.data() == nullptr || raw.compressionAlgorithm() != QResource::NoCompression ||
        qint64(side) * side * 4 != bytes)
      return {};
    // The pixmap copies the pixels, so the image may borrow the resource's.
    return QPixmap::fromImage(QImage(raw.data(), side, side, side * 4, QImage::Format_RGBA8888));
  }
  // Left to guess the format, Qt asks every image plugin first and so loads
  // them all (and libjpeg) before the window's first paint.
  QImageReader reader(path, "png");
  reader.setAutoDetectImageFormat(false);
  return QPixmap::fromImage(reader.read());
}

namespace {

// The icon QIcon(path) would build, the "@Nx" twin included on a high-density
// screen, without the plugin search; other images go through QIcon itself.
// Twins are PNGs (a raw image at twice the size would weigh four times as
// much in every start's memory, for screens that need it only).
QIcon ImageIcon(const QString& path) {
  if (!path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) && !path.endsWith(QLatin1String(".rgba")))
    return QIcon(path);
  const QPixmap pixmap = ReadImage(path);
  if (pixmap.isNull()) return QIcon(path);
  QIcon icon;
  icon.addPixmap(pixmap);
  if (qEnvironmentVariableIsEmpty("QT_HIGHDPI_DISABLE_2X_IMAGE_LOADING")) {
    const int dot = path.lastIndexOf(u'.');
    for (int n = qMin(qCeil(qApp->devicePixelRatio()), 9); n >= 2; --n) {
      const QString twin = path.left(dot) + QStringLiteral("@%1x.png").arg(n);
      if (QFile::exists(twin)) {
        icon.addPixmap(ReadImage(twin));
        break;
      }
    }
  }
  return icon;
}

/// Return or keypad Enter. Qt's buttons react to it only as default buttons,
/// which this window has none of. With Ctrl it goes on to the window, where
/// it renames from any control.
bool IsEnter(const QKeyEvent* event) {
  return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
         !(event->modifiers() & Qt::ControlModifier);
}

/// Relative luminance of a colour, as contrast ratios are defined on it.
double Luminance(const QColor& c) {
  auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
  return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void TextBox::ReplaceText(const QString& text) {
  if (text == this->text()) {
    // Nothing to undo; the caret still ends where setText would leave it.
    end(false);
    return;
  }
  selectAll();
  insert(text);
}

void TextBox::focusOutEvent(QFocusEvent* event) {
  // QLineEdit drops its selection when the focus leaves by mouse or Tab; keep
  // it, as the text box's selection is what the edit buttons work on.
  const bool had = hasSelectedText();
  const int start = selectionStart();
  const int length = selectionLength();
  const int cursor = cursorPosition();
  QLineEdit::focusOutEvent(event);
  if (had && !hasSelectedText()) {
    // Restore with the cursor at the same end it was on.
    if (cursor == start)
      setSelection(start + length, -length);
    else
      setSelection(start, length);
  }
}

CommandButton::CommandButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
  setAutoDefault(false);
  setDefault(false);
}


void CommandButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  const QString caption = option.text;
  option.text.clear();
  painter.drawControl(QStyle::CE_PushButton, option);

  QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).adjusted(1, 0, -1, 0);
  if (isDown()) {
    area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                   style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
  }
  const int flags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
  painter.drawText(area, flags, caption);
}

void CommandButton::keyPressEvent(QKeyEvent* event) {
  if (IsEnter(event)) {
    click();
    return;
  }
  QPushButton::keyPressEvent(event);
}

PictureButton::PictureButton(const QString& imagePath, QWidget* parent) : QAbstractButton(parent) {
  setIcon(ImageIcon(imagePath));
  setIconSize({20, 20});
  setFocusPolicy(Qt::TabFocus);
  setCursor(Qt::PointingHandCursor);
}

void PictureButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area = rect();
  const QIcon::Mode mode = !isEnabled() ? QIcon::Disabled : (underMouse() ? QIcon::Active : QIcon::Normal);
  icon().paint(&painter, area.translated(isDown() ? QPoint(1, 1) : QPoint()), Qt::AlignCenter, mode);
  if (hasFocus()) {
    // A solid ring in whichever of the highlight and text colours stands out
    // more from the window: the style's dotted frame is too faint to find.
    const QColor window = palette().color(QPalette::Window);
    const QColor highlight = palette().color(QPalette::Highlight), text = palette().color(QPalette::WindowText);
    const QColor ring = ContrastRatio(highlight, window) >= 3.0 ? highlight : text;
    painter.setPen(QPen(ring, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(1, 1, -1, -1));
  }
}

void PictureButton::keyPressEvent(QKeyEvent* event) {
  if (IsEnter(event)) {
    click();
    return;
  }
  QAbstractButton::keyPressEvent(event);
}

}  // namespace velmora
