# Turns every PNG of SRC_DIR into a byte array of a generated C++ source OUT, with a lookup by file name.
# Run as a script at build time:  cmake -DSRC_DIR=... -DOUT=... -P embed.cmake
file(GLOB files RELATIVE ${SRC_DIR} ${SRC_DIR}/*.png)
list(SORT files)
set(arrays "")
set(table "")
set(i 0)
foreach(f IN LISTS files)
  file(READ ${SRC_DIR}/${f} hex HEX)
  string(LENGTH "${hex}" chars)
  math(EXPR size "${chars} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "const unsigned char kFile${i}[] = {${bytes}};\n")
  string(APPEND table "    {\"${f}\", kFile${i}, ${size}},\n")
  math(EXPR i "${i} + 1")
endforeach()
set(text "// Generated from ${SRC_DIR} by embed.cmake; do not edit.
#include <cstddef>
#include <cstring>

namespace ralvo::embedded {
namespace {
${arrays}
struct Entry {
    const char* name;
    const unsigned char* data;
    size_t size;
};
const Entry kEntries[] = {
${table}    {nullptr, nullptr, 0},
};
}  // namespace

const unsigned char* FindPicture(const char* name, size_t* size) {
    for (const Entry* e = kEntries; e->name; ++e)
        if (std::strcmp(e->name, name) == 0) {
            *size = e->size;
            return e->data;
        }
    *size = 0;
    return nullptr;
}

}  // namespace ralvo::embedded
")
# Rewrite only on change, so an unchanged picture set does not rebuild the library.
if(EXISTS ${OUT})
  file(READ ${OUT} old)
  if(old STREQUAL text)
    return()
  endif()
endif()
file(WRITE ${OUT} "${text}")
