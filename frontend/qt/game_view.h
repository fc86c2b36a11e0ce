// The client area of the game window: shows the window picture and takes the keyboard.
#pragma once

#include <QWidget>

class GameShell;
class ImageCanvas;

// Sizes, keys and typed characters go to `shell`, whose overlay is laid over `picture`
// wherever it is not transparent.
class GameView : public QWidget {
 public:
  GameView(GameShell& shell, const ImageCanvas& picture);

  QSize sizeHint() const override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  // Tab is a typed character of the game, never a move to another widget.
  bool focusNextPrevChild(bool next) override;

 private:
  void Type(const QString& text);

  GameShell& shell_;
  const ImageCanvas& picture_;
};
