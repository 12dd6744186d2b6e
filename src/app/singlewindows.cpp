#include "app/singlewindows.h"

SingleWindows &singles()
{
    static SingleWindows s;
    return s;
}
