// The hyperlink label's texts: the browser command line built from the one registered for .htm
// files, and the message for a link that could not be opened.
#pragma once

#include <string>

// The browser command line for `url` from the one registered for .htm files: cut before the
// quoted placeholder "%1" (at its opening quotation mark), else before a bare %1, else kept
// whole; then a blank and the address.
std::string LinkCommandLine(const std::string& registered, const std::string& url);

// The message shown when a link cannot be opened: "Unable to open hyperlink:\n\n" and the
// text for the shell's result code.
std::string LinkOpenErrorText(int code);
