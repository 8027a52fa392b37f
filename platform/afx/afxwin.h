// The window framework: application, windows, dialogs, controls, menus, message maps. Game code
// includes this header; each part has its own:
//
//   msgmap.h    message maps and CCmdTarget
//   handles.h   HWND, HMENU, MSG, HELPINFO
//   system.h    system colours, cursors, capture, metrics, message boxes
//   menu.h      CMenu
//   wnd.h       CWnd and the window DCs
//   dialog.h    CDialog and data exchange
//   controls.h  CStatic, CButton, CEdit, CComboBox, CListCtrl, CToolTipCtrl
//   app.h       CWinApp and AfxWinMain
#pragma once

#include "platform/afx/app.h"
#include "platform/afx/controls.h"
#include "platform/afx/cstring.h"
#include "platform/afx/dialog.h"
#include "platform/afx/handles.h"
#include "platform/afx/menu.h"
#include "platform/afx/msgmap.h"
#include "platform/afx/styles.h"
#include "platform/afx/system.h"
#include "platform/afx/wnd.h"
#include "platform/gdi/gdi.h"
#include "platform/seams/seams.h"
