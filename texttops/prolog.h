// The procedure set and document setup of converted text documents.
#ifndef TEXTTOPS_PROLOG_H_
#define TEXTTOPS_PROLOG_H_

#include <string>

class Writer;

/// The prolog: document save, procedures, SetUpFonts, the page stamp,
/// SetUpPage, FitText, MS and WS with their one-show forms FS, FW, LS and
/// LW, up to "StartDoc". Its text is in the files of texttops/ps.
void writeProlog(Writer& out);
/// Fonts and page geometry, up to "%%EndDocumentSetup"; lines `pitch`
/// font sizes apart.
void writeDocumentSetup(Writer& out, double pitch = 1);

#endif  // TEXTTOPS_PROLOG_H_
