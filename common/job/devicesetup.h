// Device setup requests: trays, paper, duplex, copies, jog, toner saving,
// enhancement.
#ifndef COMMON_JOB_DEVICESETUP_H_
#define COMMON_JOB_DEVICESETUP_H_

#include "options.h"

class Writer;

void setInputSource(Writer& out, int policyGiven, int policy);
void setOutputTray(Writer& out, int tray);
void setDuplex(Writer& out, int duplex);
void setCopies(Writer& out, int collate, int copies);
void setJog(Writer& out, int jogGiven, unsigned jog);
void setTonerSaver(Writer& out, int on);
void setRenderEnhance(Writer& out, int on);

// The setup writers of the printer options' rows: each writes its
// option's request for a print set, or nothing when it asks for none.
void setupInput(Writer& out, const PrinterSettings& set);  // with the policy
void setupOutput(Writer& out, const PrinterSettings& set);
void setupDuplex(Writer& out, const PrinterSettings& set);
// Copies, collation and jog: the printer takes the jog with the copies.
void setupCopies(Writer& out, const PrinterSettings& set);
void setupTonerSaver(Writer& out, const PrinterSettings& set);
void setupEnhance(Writer& out, const PrinterSettings& set);

/// The printer options of the text and of the image print set.
const PrinterSettings& textRequests();
const PrinterSettings& imageRequests();

/// Writes the requests of the printer options in the rows' order
/// (`enhanceFirst`: enhancement before toner saving).
void writeDeviceSetup(Writer& out, const PrinterSettings& set,
                      bool enhanceFirst = false);

#endif  // COMMON_JOB_DEVICESETUP_H_
