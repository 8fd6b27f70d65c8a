#include "tray.h"

const Tray inputtraytab[] = {
    {1, 0, "Tray1", "1stTray"},
    {2, 1, "Tray2", "2ndTray"},
    {3, 2, "Tray3", "3rdTray"},
    {4, 3, "Tray4", "4thTray"},
    {invalid_input, -1, "Invalid Input", ""},
};

const Tray outputtraytab[] = {
    {1, 0, "Center Output Tray", "CenterTray"},
    {2, 1, "Rear Output Tray", "RearTray"},
    {3, 2, "Offset Catch Tray", "OCT"},
    {invalid_output, -1, "Invalid Output", ""},
};

namespace {

const Tray* findTray(const Tray* table, int id, int terminator) {
  while (table->id != id && table->id != terminator) ++table;
  return table;
}

}  // namespace

const Tray* getInputTray(int id) {
  return findTray(inputtraytab, id, invalid_input);
}

const Tray* getOutputTray(int id) {
  return findTray(outputtraytab, id, invalid_output);
}
