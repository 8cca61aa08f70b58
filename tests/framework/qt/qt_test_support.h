// What the Qt backend's in-process tests share: one QApplication on Qt's offscreen
// platform for the whole test binary (a gtest environment), a fresh framework application
// over it per test, and the means to look at and close the modal boxes the code opens.
#pragma once

#include <QMessageBox>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/qt/qt_application.h"

namespace vantor {

// The framework's application on the test binary's QApplication.
std::unique_ptr<TApplication> MakeTestApplication(
    const TQtApplicationOptions& Options = TQtApplicationOptions{});

// What a message box showed.
struct TShownBox {
  std::string Caption;
  std::string Text;
  QMessageBox::Icon Icon = QMessageBox::NoIcon;
  bool TextSelectable = false;  // by mouse and by keyboard, so that it can be copied
  std::vector<std::string> Buttons;
};

// Watches for the next modal message box: when it is open, runs Inside (with the box
// still open), records it, then closes it with the Escape key. Poll() is true once done.
class TBoxCloser {
 public:
  explicit TBoxCloser(std::function<void()> Inside = nullptr);
  ~TBoxCloser();
  TBoxCloser(const TBoxCloser&) = delete;
  TBoxCloser& operator=(const TBoxCloser&) = delete;

  bool Closed() const { return FClosed; }
  const TShownBox& Box() const { return FBox; }

 private:
  class TWatcher;
  std::unique_ptr<TWatcher> FWatcher;
  std::function<void()> FInside;
  TShownBox FBox;
  bool FClosed = false;
};

// Runs Qt's events until Done holds or the time-out passes; returns Done().
bool ProcessUntil(const std::function<bool()>& Done, int TimeoutMs = 5000);

}  // namespace vantor
