// The client area of the game window: shows the window picture and takes the keyboard.
#pragma once

#include <QWidget>
#include <functional>

class ImageCanvas;
struct OverlayPicture;

class GameView : public QWidget {
 public:
  struct Handlers {
    std::function<void(int width, int height)> resized;
    std::function<void(char32_t character)> typed;
    std::function<void(int qtKey)> functionKey;  // F1 to F35 pressed without modifiers
    std::function<void(int delta)> helpPage;     // PageDown and Right +1, PageUp and Left -1
  };

  // `startSize` is the client size the window opens with.
  // `overlay` is laid over the picture wherever it is not transparent.
  GameView(const ImageCanvas& picture, const OverlayPicture& overlay, QSize startSize,
           Handlers handlers);

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

  const ImageCanvas& picture_;
  const OverlayPicture& overlay_;
  QSize startSize_;
  Handlers handlers_;
};
