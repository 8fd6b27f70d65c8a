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

const Tray* getInputTray(int id) {
  const Tray* t = inputtraytab;
  while (t->id != id && t->id != invalid_input) ++t;
  return t;
}
