// Sources of the help file mavek.chm: HTML pages in Chinese, the contents and index files and
// the project file that the CHM compiler reads.
#pragma once

#include <string>
#include <vector>

namespace assetgen {

struct HelpPage {
    std::string file;   // e.g. "rules.htm"
    std::string title;  // shown in the contents
    std::string body;   // HTML inside <body>
};

const std::vector<HelpPage>& HelpPages();
constexpr const char* kHelpDefaultTopic = "index.htm";

// Writes the pages, mavek.hhc, mavek.hhk and mavek.hhp into dir; the project compiles to
// `chm_name` in the same folder.
bool WriteHelpProject(const std::string& dir, const std::string& chm_name);

}  // namespace assetgen
