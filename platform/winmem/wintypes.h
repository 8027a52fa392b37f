// The Windows base types that both the movable global memory and the drawing layer speak, in
// one place: the plug-in reaches them through winmem without depending on the drawing layer.
#pragma once

typedef unsigned int UINT;
typedef int BOOL;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
