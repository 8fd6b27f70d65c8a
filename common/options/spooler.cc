#include "spooler.h"

#include <cstring>
#include <string>

#include "parse.h"

const char* baseName(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash ? slash + 1 : path;
}

FatalError usageError(const char* program) {
  return FatalError{std::string("Usage: ") + program +
                        " [ -c -w width -l length -i indent -n login -h "
                        "host -I input -O output] [-d|-D] filename\n",
                    1};
}

namespace {

// A "%u" value: a value that is not a number leaves the field unchanged.
void readSpoolNumber(const char* value, unsigned* field) {
  if (value) readUnsigned(value, 0, field);
}

}  // namespace

bool readSpoolerArgument(int argc, char** argv, int* i,
                         const SpoolerLetters& letters) {
  const char* arg = argv[*i];
  char letter = arg[1];
  // The option's value: attached, or else the next argument.
  auto value = [&]() -> const char* {
    if (arg[2]) return arg + 2;
    if (*i + 1 < argc) return argv[++*i];
    return nullptr;
  };
  const char* v = nullptr;
  switch (letter) {
    case 'a':
      if ((v = value())) opt.accounting_file = v;
      return true;
    case 'h':
    case 'H':
      if ((v = value())) opt.host_name = v;
      return true;
    case 'n':
    case 'L':
      if ((v = value())) opt.login_name = v;
      return true;
    case 'i':
      readSpoolNumber(value(), &opt.indent);
      return true;
    case 'j':
      // The spooler passes the job name as a separate argument.
      if (!arg[2]) value();
      return true;
    default:
      break;
  }
  if (letter == letters.width) {
    readSpoolNumber(value(), &opt.spool_width);
    return true;
  }
  if (letter == letters.length) {
    readSpoolNumber(value(), &opt.spool_length);
    return true;
  }
  return letter && std::strchr(letters.ignored, letter) != nullptr;
}
