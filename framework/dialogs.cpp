#include "framework/dialogs.h"

#include "framework/application.h"
#include "framework/backend.h"

namespace vantor {

namespace {

void Show(TBackend::TBoxKind Kind, const std::string& Caption, const std::string& Text,
          const std::string& Button) {
  if (TApplication* App = Application())
    App->Backend().MessageBox(Kind, Caption, Text, Button);
}

std::string Title() {
  return Application() ? Application()->Title() : std::string();
}

}  // namespace

void ErrorBox(const std::string& Text) {
  Show(TBackend::TBoxKind::Error, "Error", Text, "Cancel");
}

void NoticeBox(const std::string& Text) {
  Show(TBackend::TBoxKind::Notice, Title(), Text, "OK");
}

void FailureBox(const std::string& Text) {
  Show(TBackend::TBoxKind::Failure, Title(), Text, "OK");
}

}  // namespace vantor
