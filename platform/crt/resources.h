// The program's table of linked resources: tile artwork, icon, cursor and sound effects, each a
// complete file image (.bmp, .ico, .cur, RIFF WAVE) registered at start-up and looked up by id.
#pragma once

namespace res {

enum class Kind { Bitmap, Icon, Cursor, Wave };

struct Resource {
    Kind kind;
    int id;
    const unsigned char* data;
    unsigned size;
};

// Adds the entries to the program's table. The table keeps the pointers, so the bytes must live
// as long as the program. A later entry of the same kind and id replaces an earlier one.
void RegisterResources(const Resource* table, unsigned count);

// nullptr when absent.
const Resource* FindResource(int id, Kind kind);

}  // namespace res
