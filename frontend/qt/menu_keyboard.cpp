// Handing the keyboard back from the menu bar to the field once no menu is open.
#include "frontend/qt/menu_keyboard.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>
#include <memory>

namespace {

bool MenuIsOpen() {
  return QApplication::activePopupWidget() != nullptr;
}

class MenuKeyboardGuard : public QObject {
 public:
  MenuKeyboardGuard(QMenuBar* menuBar, QWidget* field)
      : QObject(menuBar), menuBar_(menuBar), field_(field) {
    menuBar->installEventFilter(this);
    // Esc in a menu opened with Alt and a letter leaves the focus where it was, on the bar,
    // so no focus event would tell that the menu has gone.
    for (QMenu* menu : menuBar->findChildren<QMenu*>()) {
      connect(menu, &QMenu::aboutToHide, this, &MenuKeyboardGuard::ReturnFocusSoon);
    }
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != menuBar_ || MenuIsOpen()) return false;
    if (event->type() == QEvent::FocusIn) ReturnFocusSoon();
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    return key && HandToField(static_cast<QKeyEvent*>(event));
  }

 private:
  // Later, not now: a menu being opened takes the focus first and shows itself after, and the
  // bar leaves its keyboard mode by itself only once it has handled the event at hand.
  void ReturnFocusSoon() {
    QTimer::singleShot(0, this, [this] {
      if (!MenuIsOpen() && menuBar_->hasFocus() && field_) field_->setFocus(Qt::OtherFocusReason);
    });
  }

  // The key is given to the field as if it had had the keyboard all along, so no letter typed
  // just after a menu closed is lost.
  bool HandToField(QKeyEvent* event) {
    if (!field_) return false;
    field_->setFocus(Qt::OtherFocusReason);
    const std::unique_ptr<QEvent> copy(event->clone());
    QCoreApplication::sendEvent(field_, copy.get());
    return true;
  }

  QMenuBar* menuBar_;
  QPointer<QWidget> field_;
};

}  // namespace

void KeepKeyboardInField(QMenuBar* menuBar, QWidget* field) {
  new MenuKeyboardGuard(menuBar, field);
}
