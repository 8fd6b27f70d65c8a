// Device setup requests (trays, paper, duplex, copies, jog, toner saving,
// enhancement) and the header/footer stamp.
#ifndef COMMON_JOB_SETIOT_H_
#define COMMON_JOB_SETIOT_H_

#include <string>

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

/// Sheet size in points of the current input selection: 0 and the size,
/// or 1 with the outputs untouched when it has none (a tray, manual feed).
int getPageSize(int* width, int* height);

/// The sheet in points: getPageSize, or A4 when it names none.
void sheetSize(int* width, int* height);

/// The stamp items of one print set.
struct StampSpec {
  int position;  // 0..3; 999 none
  int userSlot;
  int hostSlot;
  int dateSlot;
  const std::string& font;
};

/// The stamp items of the text and of the image print set.
StampSpec textStamp();
StampSpec imageStamp();

/// The stamp text ("User:%s Host:%s ..."), at most 127 bytes, with "(",
/// ")" and the backslash escaped for a PostScript string.
std::string makeStamp(const StampSpec& stamp);

/// Writes the placement procedure of the stamp's position and StartHF.
/// `textFonts`: the text filter's StartHF ends by selecting the text fonts
/// again (size, then these font operands of SetUpFonts); the image filter
/// passes nullptr. `landscape`: the corners are those of the sheet turned
/// a quarter turn (width and height exchanged). `measured`: the corners
/// are found from the page size in force when the page ends, for
/// documents that choose their own sheet.
void writeStampProcedures(Writer& out, const StampSpec& stamp,
                          const std::string* textFonts, unsigned textSize,
                          bool landscape = false, bool measured = false);

#endif  // COMMON_JOB_SETIOT_H_
