// The printer's paper sizes.
#ifndef COMMON_JOB_PAPER_H_
#define COMMON_JOB_PAPER_H_

#include <cstdint>

/// Paper identifier of the terminator row.
const int PAPER_Invalid = 16;

/// One paper size, in PostScript points, portrait.
struct Paper {
  int32_t id;
  int32_t width;
  int32_t height;
  const char* name;       // as the option keywords spell it
  const char* mediaName;  // the device's name for it
};

extern const Paper papertab[];

/// The row with `id`, or the PAPER_Invalid row.
const Paper* getPaper(int id);

/// Sheet size in points of the current input selection: true and the size
/// for a paper or custom size from the automatic source, false with the
/// outputs untouched when it names no size (a tray, manual feed).
bool selectedSheetSize(int* width, int* height);

/// The sheet in points: the selection's size, or A4 when it names none.
void sheetSize(int* width, int* height);

#endif  // COMMON_JOB_PAPER_H_
