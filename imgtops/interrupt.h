// The image filter's end of job: the interrupt handler and the final
// end-of-transmission byte.
#ifndef IMGTOPS_INTERRUPT_H_
#define IMGTOPS_INTERRUPT_H_

#include "jobcontext.h"

class Writer;

/// Thrown from the read and row loops once an interrupt has arrived.
struct JobInterrupted {};

/// Installs the SIGINT handler, in filter mode for SIGTERM and SIGHUP as
/// well. From then on an interrupt ends reading (the input descriptor
/// given by watchInput sees end of file) and the next interrupt check
/// throws JobInterrupted.
void installInterruptHandler(bool filterMode);
/// The descriptor the current job reads; -1 for none.
void watchInput(int fd);
/// Whether an interrupt has arrived.
bool interrupted();
/// Throws JobInterrupted when an interrupt has arrived.
void checkInterrupt();

/// Ends the job: writes the end-of-transmission byte 0x04 under the
/// spooler, flushes the output and returns `status` for main to exit
/// with, or (with a message) the write error status of finishOutput.
int endJob(Writer& out, const JobContext& job, int status);

#endif  // IMGTOPS_INTERRUPT_H_
