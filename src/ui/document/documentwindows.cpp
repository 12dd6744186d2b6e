#include "ui/document/documentwindows.h"

DocumentWindows &documentWindows()
{
    static DocumentWindows w;
    return w;
}
