// The dialog templates of the advert window and the About box, held as data.
#pragma once

#include "game/res/resource_ids.h"
#include "platform/afx/templates.h"

afx::DialogTemplate AdDialogTemplate();
afx::DialogTemplate AboutDialogTemplate();

// The About box's two web addresses, shown as its links.
extern const char* const kAboutFirstAddress;   // IDC_ABOUT_FIRST_LINK
extern const char* const kAboutSecondAddress;  // IDC_ABOUT_SECOND_LINK

// Registers the two templates with the framework (once; later calls do nothing). The
// dialogs' constructors call it, so the program need not.
void RegisterExtrasResources();
