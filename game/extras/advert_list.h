// The advert list ads\url.txt: one line per level of each difficulty, line (difficulty - 1) x 11
// + (level - 1) counting from 0. A line beginning with "0" means no advert for that level; any
// other line carries the advert's web address from its fifth character on.
#pragma once

#include <string>

// The line for a difficulty and level: true when an advert is to be shown, with its address
// (trailing white space removed). False when the file is missing or empty, or the deciding
// line begins with '0'. A file shorter than the wanted line answers with its last line.
bool ReadAdvertLine(int difficulty, int level, std::string* address);
