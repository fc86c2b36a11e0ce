// Painting the window picture and turning keys and input-method text into typed characters.
#include "frontend/qt/game_view.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>

#include "app/shell.h"
#include "frontend/qt/image_canvas.h"
#include "render/text_box.h"

GameView::GameView(GameShell& shell, const ImageCanvas& picture)
    : shell_(shell), picture_(picture) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  // Every pixel comes from the picture, so Qt need not clear the area first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::CrossCursor);
}

// The client size the window opens with.
QSize GameView::sizeHint() const {
  return {shell_.ClientWidth(), shell_.ClientHeight()};
}

// On a high-density screen the device pixel ratio is a whole number (see main), and the
// picture is scaled by it without smoothing: each game pixel becomes a square block. What
// lies outside the picture is painted black first: a card may reach over it.
void GameView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QImage image = ImageOf(picture_);
  for (const QRect& rect : event->region()) painter.drawImage(rect, image, rect);
  for (const QRect& rect : event->region() - image.rect()) painter.fillRect(rect, Qt::black);
  const OverlayPicture& overlay = shell_.Overlay();
  if (!overlay.Empty()) {
    // Format_ARGB32 is the overlay's 0xAARRGGBB with its transparent pixels.
    const QImage cards(reinterpret_cast<const uchar*>(overlay.pixels.data()), overlay.width,
                       overlay.height, overlay.width * 4, QImage::Format_ARGB32);
    for (const QRect& rect : event->region()) painter.drawImage(rect, cards, rect);
  }
}

// A minimised window has a client area of 0 by 0, as the game has always been told.
void GameView::resizeEvent(QResizeEvent*) {
  if (!window()->isMinimized()) shell_.Size(width(), height());
}

// Alt and the logo key choose menus and desktop commands; like the original platform's
// system keys they type nothing. Ctrl with a letter types its control character.
void GameView::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  const int key = event->key();
  if (key >= Qt::Key_F1 && key <= Qt::Key_F35) {
    if (mods == Qt::NoModifier) shell_.PressFunctionKey(key - Qt::Key_F1 + 1);
    return;
  }
  const bool forward = key == Qt::Key_PageDown || key == Qt::Key_Right;
  if (forward || key == Qt::Key_PageUp || key == Qt::Key_Left) {
    shell_.TurnPage(forward ? 1 : -1);
    return;
  }
  // Delete types nothing there either; here its text would be DEL.
  if (key == Qt::Key_Delete) return;
  if (mods & (Qt::AltModifier | Qt::MetaModifier)) return;
  // Shift+Tab arrives as Backtab without text; it types a tab like Tab.
  Type(key == Qt::Key_Backtab ? QStringLiteral("\t") : event->text());
}

// Only committed text counts: nothing reaches the game while a composition is open.
void GameView::inputMethodEvent(QInputMethodEvent* event) {
  Type(event->commitString());
  event->accept();
}

QVariant GameView::inputMethodQuery(Qt::InputMethodQuery query) const {
  if (query == Qt::ImEnabled) return true;
  if (query == Qt::ImCursorRectangle) {
    return QRect(width() / 2, height() - kStatusBandHeight, 1, kStatusBandHeight);
  }
  return QWidget::inputMethodQuery(query);
}

bool GameView::focusNextPrevChild(bool) {
  return false;
}

void GameView::Type(const QString& text) {
  for (char32_t c : text.toUcs4()) shell_.Type(c);
}
