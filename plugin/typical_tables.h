// The typical Huffman tables of ITU T.81 Annex K.3 (Tables K.3 to K.6), which Motion-JPEG frames
// use without carrying a DHT segment.
#pragma once

#include "plugin/huffman_tree.h"

namespace vantor {

// Empties `root` and fills it with the typical table of one class: DC when `ac` is false, AC when
// true; luminance for table number 0, chrominance for 1.
void BuildTypicalTree(HuffNode* root, bool ac, int table);

}  // namespace vantor
