// The runtime-library services the game and the plug-in rely on: the random generator with its
// fixed rule, code page 936 text, text-mode files and data-file names.
#pragma once

#include "platform/crt/codepage.h"
#include "platform/crt/rand.h"
#include "platform/crt/textfile.h"
