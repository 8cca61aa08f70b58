// Taking in received bytes: read, append to the receive buffer, cut frames off its head.
#include <algorithm>

#include "controller/microphone_settings_form.h"
#include "framework/dialogs.h"
#include "framework/object.h"

namespace vantor {

void TMicrophoneSettingsForm::comportRXChar(TObject* /*Sender*/, int Count) {
  const std::uint32_t Session = FPortSession;
  try {
    // A failed creation handler may have left no buffer: bytes must not be lost for it.
    if (!Data_buf)
      Data_buf = std::make_unique<TByteBuffer>();
    const int Wanted = std::max(Count, 0);
    TByteBuffer Read(static_cast<std::size_t>(Wanted));
    int Got = Wanted > 0 ? Port().ReadBuf(Read.data(), Wanted) : 0;
    // Never trust the count read beyond the array it was read into.
    Got = std::clamp(Got, 0, Wanted);
    Read.resize(static_cast<std::size_t>(Got));
    Data_buf->insert(Data_buf->end(), Read.begin(), Read.end());
    ScanReceiveBuffer(*Data_buf, [this](const TByteBuffer& Frame, std::uint8_t Length) {
      return HandleReply(Frame, Length);
    });
  } catch (const std::exception& E) {
    ReportReceiveFailure(ExceptionClassName(E), E.what(), Session);
  } catch (...) {
    ReportReceiveFailure("unknown", "Unknown failure", Session);
  }
}

void TMicrophoneSettingsForm::ReportReceiveFailure(const std::string& ClassName,
                                                   const std::string& Message,
                                                   std::uint32_t Session) {
  NoticeBox("Exception class name = " + ClassName);
  NoticeBox("Exception message = " + Message);
  // The boxes are modal but the timers run on: if the search has moved on to another
  // port meanwhile, that port did not fail and stays open.
  if (Session == FPortSession)
    Port().Close();
}

}  // namespace vantor
