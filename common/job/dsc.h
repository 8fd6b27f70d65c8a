// The DSC comments that open every document.
#ifndef COMMON_JOB_DSC_H_
#define COMMON_JOB_DSC_H_

#include <string>

#include "jobcontext.h"

class Writer;

/// The login of the process: getlogin, else LOGNAME, else the user
/// database's name for the real user id, else "".
std::string loginName();
/// The host name from the system, or "".
std::string systemHostName();

/// Current local time as "%x %X %Z" in the program's locale.
std::string currentDate();

/// Whom the document is for, "host:login": the job's owner and the host
/// the job came from (this host when not given), or else whoever runs
/// the program here.
std::string documentFor(const JobContext& job);

/// Writes the header comments from "%!PS-Adobe-2.1" to "%%EndComments"
/// for the job's title (standard input when empty) and creator.
/// `pagesAtEnd`: the trailer counts the pages; `fonts`: the document's
/// fonts, nullptr when it names none.
void writeDscHeader(Writer& out, const JobContext& job, bool pagesAtEnd,
                    const std::string* fonts);

#endif  // COMMON_JOB_DSC_H_
