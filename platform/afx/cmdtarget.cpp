// Message-map lookup: command ids and notification codes to member functions.
#include "platform/afx/afxwin.h"

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr, nullptr, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CCmdTarget::OnCmdMsg(UINT message, UINT id, UINT code) {
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nSig != AfxSig_end; ++e) {
            if (e->nMessage != message || e->nCode != code) continue;
            if (id < e->nID || id > e->nLastID) continue;
            if (e->nSig == AfxSig_vv && e->pfn) {
                (this->*(e->pfn))();
                return TRUE;
            }
            if (e->nSig == AfxSig_vw && e->pfnW) {
                (this->*(e->pfnW))(id);
                return TRUE;
            }
        }
        if (map->pfnGetBaseMap == nullptr) break;
    }
    return FALSE;
}

BOOL CCmdTarget::OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nSig != AfxSig_end; ++e) {
            if (e->nSig == AfxSig_lwl && e->nMessage == message && e->pfnL) {
                *result = (this->*(e->pfnL))(wParam, lParam);
                return TRUE;
            }
        }
        if (map->pfnGetBaseMap == nullptr) break;
    }
    return FALSE;
}
