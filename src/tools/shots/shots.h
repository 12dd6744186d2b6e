#pragma once
// Screenshot scenes: each area adds a scenes_<area>.cpp that registers its scenes. The tool
// builds the program's windows, then for each scene runs `show` (which puts the scene on
// screen), takes a screenshot of the whole screen with ImageMagick, and runs `hide`.

#include <QString>

#include <functional>

class TMainForm;

namespace shots {

struct Scene {
    QString name;                                  // file name without ".png"
    std::function<void(TMainForm *frame)> show;
    std::function<void(TMainForm *frame)> hide;    // may be empty
};

// Registers at static-initialisation time; returns true so it can initialise a variable.
bool add(int order, const Scene &scene);

} // namespace shots
