// One image job: the input's format told, its document written, what the
// input lacked told, the job accounted.
#ifndef IMGTOPS_IMAGEJOB_H_
#define IMGTOPS_IMAGEJOB_H_

#include "jobcontext.h"

class Reader;
class Writer;

/// Converts one image from `in` into a document on `out` for `job`.
/// Refuses (refuseInput) empty input, what no format reads, and
/// what the format's reader refuses, before anything is written.
void convertImage(const JobContext& job, Reader& in, Writer& out);

/// Under lpd, for the input filter: prints the image `in` holds as the
/// raster filter zavpsvf prints it, with the owner's zavpsvf line of the
/// defaults file (else the system file's) and the end byte 0x04, and
/// keeps its accounting record. Messages name `job`.
void printAsRasterJob(const JobContext& job, Reader& in, Writer& out);

#endif  // IMGTOPS_IMAGEJOB_H_
