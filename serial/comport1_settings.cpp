#include "serial/comport1_settings.h"

#include "serial/sio_comm.h"

namespace vantor {

void ApplyComport1Settings(TSioComm& Comport1) {
  Comport1.SetName("Comport1");
  Comport1.SetBaudrate(br115200);
  Comport1.SetDatabits(db8);
  Comport1.SetParity(paNone);
  Comport1.SetStopbits(sb1);

  TSioFlowControl Flow;
  Flow.SetControlDtr(dtrEnabled);
  Flow.SetControlRts(rtsEnabled);
  Comport1.SetFlowControl(Flow);

  Comport1.SetDeviceName("COM%d");
  Comport1.SetMonitorEvents(TSioCommEvents{ceBreak, ceError, ceRxChar, ceTxEmpty});

  TSettingsStore Store;
  Store.SetRegRoot(rrCURRENTUSER);
  Store.SetLocation(slINIFile);
  Comport1.SetSettingsStore(Store);
}

}  // namespace vantor
