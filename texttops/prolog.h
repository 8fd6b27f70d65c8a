// The procedure set of converted text documents.
#ifndef TEXTTOPS_PROLOG_H_
#define TEXTTOPS_PROLOG_H_

#include <string>

/// Document save, basic procedures, SetUpFonts.
extern const char* const kBlockA;
/// SetUpPage of the margin family.
extern const char* const kBlockB;
/// SetUpPage of the offset family.
extern const char* const kBlockO;
/// FitText: the font scaled down until the requested lines and columns fit.
extern const char* const kFitText;
/// Cursor procedures, page state, Lbuf, ModeA and the head of MS.
extern const char* const kBlockP;
/// The rest of MS.
extern const char* const kBlockQ;
/// MNLL to StartDoc.
extern const char* const kBlockZ;
/// WS: MS without wrapping at the right limit.
const std::string& blockW();

#endif  // TEXTTOPS_PROLOG_H_
