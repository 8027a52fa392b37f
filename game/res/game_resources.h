// The main window's resources as data: menu 135, dialog template 102 and string 101.
#pragma once

#include "platform/afx/templates.h"

// The templates themselves, for tests that compare against them.
afx::MenuTemplate MainMenuTemplate();
afx::DialogTemplate MainDialogTemplate();

// Registers menu 135, dialog template 102 and string 101 with the framework.
void RegisterGameResources();
