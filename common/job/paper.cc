#include "paper.h"

#include "options.h"

const Paper papertab[] = {
    {1, 595, 842, "A4", "A4"},
    {2, 420, 595, "A5", "A5"},
    {3, 297, 420, "A6", "A6"},
    {4, 516, 729, "B5", "B5"},
    {5, 612, 792, "Letter", "Letter"},
    {6, 612, 936, "Folio", "FanFoldGermanLegal"},
    {7, 612, 1008, "Legal", "Legal"},
    {8, 522, 756, "Executive", "Executive"},
    {9, 279, 540, "Monarch", "EnvMonarch"},
    {10, 297, 684, "COM10", "Env10"},
    {11, 312, 624, "DL", "EnvDL"},
    {12, 459, 649, "C5", "EnvC5"},
    {13, 595, 2551, "LP210x900", "ZV210x900mm"},
    {PAPER_Invalid, 0, 0, "Invalid", ""},
};

const Paper* getPaper(int id) {
  const Paper* p = papertab;
  while (p->id != id && p->id != PAPER_Invalid) ++p;
  return p;
}

bool selectedSheetSize(int* width, int* height) {
  const InputSelection& sel = *opt.input_selection;
  if (sel.kind == INPUT_Paper) {
    const Paper* paper = getPaper(sel.paper_id);
    *width = paper->width;
    *height = paper->height;
    return true;
  }
  if (sel.kind == INPUT_Custom) {
    *width = opt.custom_width_points;
    *height = opt.custom_height_points;
    return true;
  }
  return false;
}

void sheetSize(int* width, int* height) {
  *width = 595;
  *height = 842;
  selectedSheetSize(width, height);
}
