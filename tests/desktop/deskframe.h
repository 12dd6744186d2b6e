#pragma once
// The main frame as the desktop tests drive it: shown and active, a new document made by the
// tool bar's button, and its documents dropped unsaved when a test ends.

#include "app/TMainForm.h"
#include "app/startup.h"
#include "core/vehicle/record.h"
#include "desktest.h"
#include "ui/document/TMDIChild.h"

#include <QTest>
#include <QToolButton>

namespace desktest {

// Null when the window manager never made the frame active.
inline TMainForm *showFrame()
{
    TMainForm *frame = startup::createWindows();
    frame->show();
    if (QTest::qWaitForWindowActive(frame, kWait))
        return frame;
    delete frame;
    return nullptr;
}

// Nothing of these documents is to be kept: no question when the frame goes.
inline void dropDocuments(TMainForm *frame)
{
    for (TMDIChild *doc : frame->findChildren<TMDIChild *>())
        doc->setRecord(VehicleRecord::create(doc->record().DateTimePicker1));
}

// A new document by a click on the tool bar's button, active; null when it did not come.
inline TMDIChild *newDocument(TMainForm *frame)
{
    const int before = frame->documentCount();
    if (!click(frame->SpeedButton1))
        return nullptr;
    if (!QTest::qWaitFor([frame, before] { return frame->documentCount() == before + 1; }, kWait))
        return nullptr;
    TMDIChild *doc = frame->activeChild();
    return QTest::qWaitFor([doc] { return doc->window()->isActiveWindow(); }, kWait) ? doc : nullptr;
}

} // namespace desktest
