// Helpers of the widget tests.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace dravon::test {

// Acts on the modal dialog of type T as soon as it is up; one that never comes, or a dialog of
// another kind, fails the test and is closed so that nothing waits for ever.
template <class T = QWidget, class Action>
void WhenDialogShows(Action action) {
  auto* timer = new QTimer;
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, tries, action] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* dialog = qobject_cast<T*>(modal)) {
      timer->stop();
      timer->deleteLater();
      action(dialog);
    } else if (++*tries > 150) {
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "the expected dialog did not show";
      if (modal) modal->close();
    }
  });
  timer->start(20);
}

}  // namespace dravon::test
