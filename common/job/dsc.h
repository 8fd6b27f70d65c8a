// The DSC comments that open every document.
#ifndef COMMON_JOB_DSC_H_
#define COMMON_JOB_DSC_H_

#include <string>

class Writer;

/// The login of the process: getlogin, else LOGNAME, else the user
/// database's name for the real user id, else "".
std::string loginName();
/// The host name from the system, or "".
std::string systemHostName();

/// Current local time as "%x %X %Z" in the program's locale.
std::string currentDate();

/// Writes the header comments from "%!PS-Adobe-2.1" to "%%EndComments".
/// `title` empty means standard input.
void writeDscHeader(Writer& out, const std::string& creator,
                    const std::string& title);

#endif  // COMMON_JOB_DSC_H_
