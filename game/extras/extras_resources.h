// The dialog templates of the advert window (159) and the About box (100), held as data.
#pragma once

#include "platform/afx/templates.h"

afx::DialogTemplate AdDialogTemplate();
afx::DialogTemplate AboutDialogTemplate();

// The About box's two web addresses, shown as its links.
extern const char* const kAboutFirstAddress;   // control 1006
extern const char* const kAboutSecondAddress;  // control 1007

// Registers templates 100 and 159 with the framework (once; later calls do nothing). The
// dialogs' constructors call it, so the program need not.
void RegisterExtrasResources();
