// The printer's input and output trays.
#ifndef COMMON_JOB_TRAY_H_
#define COMMON_JOB_TRAY_H_

#include <cstdint>

/// Identifiers of the terminator rows.
const int invalid_input = 19;
const int invalid_output = 4;

/// One input or output tray.
struct Tray {
  int32_t id;
  int32_t position;  // key in the device's attributes dictionary
  const char* name;
  const char* altName;
};

extern const Tray inputtraytab[];
extern const Tray outputtraytab[];

/// The input tray row with `id`, or the terminator row.
const Tray* getInputTray(int id);

#endif  // COMMON_JOB_TRAY_H_
