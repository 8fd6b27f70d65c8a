// Device setup requests: trays, paper, duplex, copies, jog, toner saving,
// enhancement.
#ifndef COMMON_JOB_DEVICESETUP_H_
#define COMMON_JOB_DEVICESETUP_H_

class Writer;

void setInputSource(Writer& out, int policyGiven, int policy);
void setOutputTray(Writer& out, int tray);
void setDuplex(Writer& out, int duplex);
void setCopies(Writer& out, int collate, int copies);
void setJog(Writer& out, int jogGiven, unsigned jog);
void setTonerSaver(Writer& out, int on);
void setRenderEnhance(Writer& out, int on);

/// The device requests of one print set.
struct DeviceRequests {
  int inputTray;  // 0: no input request
  int policySet;
  unsigned policy;
  int outputTray;
  int duplex;
  int collate;
  unsigned copies;
  int jogSet;
  int jog;
  int tonerSaver;
  int renderEnhance;
};

/// The requests of the text and of the image print set.
DeviceRequests textRequests();
DeviceRequests imageRequests();

/// Writes the requests in their order: input source, output tray, duplex,
/// copies, jog, toner saving, enhancement (`enhanceFirst`: enhancement
/// before toner saving).
void writeDeviceSetup(Writer& out, const DeviceRequests& r,
                      bool enhanceFirst = false);

#endif  // COMMON_JOB_DEVICESETUP_H_
