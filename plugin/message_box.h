// The plug-in's application message box: a modal box on the desktop when one can be shown,
// otherwise the text on standard error.
#pragma once

namespace vantor {

constexpr unsigned MB_OK = 0x00000000;
constexpr int IDOK = 1;

// Shows `text` (UTF-8) with an OK button and returns when it has been closed.
int AfxMessageBox(const char* text, unsigned type = MB_OK, unsigned helpContext = 0);

// Receives every message instead of the desktop; null restores the desktop box.
using MessageSink = void (*)(const char* text);
void SetMessageSink(MessageSink sink);

}  // namespace vantor
