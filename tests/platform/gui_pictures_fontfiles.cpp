// FreeType's FT_New_Face, taken over: the libraries find this definition before FreeType's.
#include "gui_pictures_fontfiles.h"

#include <dlfcn.h>

#include <cstring>

namespace {
FontFiles g_state = FontFiles::Readable;
using NewFace = int (*)(void *, const char *, long, void **);
} // namespace

void setFontFiles(FontFiles state)
{
    g_state = state;
}

extern "C" int FT_New_Face(void *library, const char *path, long index, void **face)
{
    if (g_state == FontFiles::AllRefused
        || (g_state == FontFiles::Type1Refused && std::strstr(path, "/fonts/type1/")))
        return 1; // FT_Err_Cannot_Open_Resource
    static const auto real = reinterpret_cast<NewFace>(dlsym(RTLD_NEXT, "FT_New_Face"));
    return real(library, path, index, face);
}
