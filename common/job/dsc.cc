#include "dsc.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <locale.h>

#include "logline.h"
#include "writer.h"

namespace {

// A comment line must stay one line, whatever the file is called.
std::string oneLine(std::string s) {
  for (char& c : s)
    if (c == '\n' || c == '\r') c = '?';
  return s;
}

}  // namespace

std::string loginName() {
  if (const char* name = getlogin()) return name;
  if (const char* name = std::getenv("LOGNAME")) return name;
  if (struct passwd* pw = getpwuid(getuid())) return pw->pw_name;
  return "";
}

std::string systemHostName() {
  char name[256] = "";
  if (gethostname(name, sizeof name - 1) != 0) name[0] = '\0';
  name[sizeof name - 1] = '\0';
  return name;
}

// In the C locale whatever the environment says: the stamp font shows
// ASCII only.
std::string currentDate() {
  char buf[256] = "";
  std::time_t now = std::time(nullptr);
  const std::tm* tm = std::localtime(&now);
  locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  if (tm && c) strftime_l(buf, sizeof buf, "%x %X %Z", tm, c);
  if (c) freelocale(c);
  return buf;
}

std::string documentFor(const JobContext& job) {
  if (job.owner.empty()) return systemHostName() + ":" + loginName();
  return (job.host.empty() ? systemHostName() : job.host) + ":" + job.owner;
}

void writeDscHeader(Writer& out, const JobContext& job, bool pagesAtEnd,
                    const std::string* fonts) {
  const std::string& title = job.title;
  out.write("%!PS-Adobe-2.1\n");
  out.printf("%%%%Title: %s\n", title.empty() ? "stdin" : oneLine(title).c_str());
  out.printf("%%%%Creator: %s\n", job.creator.c_str());
  out.printf("%%%%CreationDate: %s\n", currentDate().c_str());
  out.printf("%%%%For: %s\n", printable(documentFor(job)).c_str());
  if (pagesAtEnd) out.write("%%Pages: (atend)\n");
  if (fonts) out.printf("%%%%DocumentFonts: %s\n", fonts->c_str());
  out.write("%%EndComments\n");
}
