#include "shots.h"

#include "app/TMainForm.h"

namespace {
const bool registered = shots::add(10, {QStringLiteral("main-frame"), [](TMainForm *) {}, {}});
}
