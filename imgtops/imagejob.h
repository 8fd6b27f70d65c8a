// One image job: the input's format told, its document written, what the
// input lacked told, the job accounted.
#ifndef IMGTOPS_IMAGEJOB_H_
#define IMGTOPS_IMAGEJOB_H_

#include <string>

class Reader;
class Writer;

/// Converts one image from `in` into a document on `out`. `jobKind` is 1
/// standalone, 0 filter mode; `title` is the file name ("" for standard
/// input). Refuses (refuseInput) empty input, what no format reads, and
/// what the format's reader refuses, before anything is written.
void convertImage(int jobKind, Reader& in, Writer& out,
                  const std::string& title);

#endif  // IMGTOPS_IMAGEJOB_H_
