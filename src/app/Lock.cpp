// The one lock of a busy window, and its one unlock. Every busy state (the
// shown parcel's query and its watchdog, the add panel's query, the loop and
// timed frames, the refresh entry, csh, the update check) locks and unlocks
// through here, so that a running loop or timed query keeps what it holds
// whichever path ends a query.
//
// The function keys are not subject to it: their handler (Form_KeyDown) is
// apart from the icons and has always opened the panels while a query or a
// loop runs; the icons alone are locked.
#include "app/Form1.h"

void Form1::setMenuEnabled(bool on)
{
    for (const auto &[i, icon] : Image2)
        icon->setEnabled(on);
}

void Form1::lockControls(Hold hold)
{
    setMenuEnabled(false);
    switch (hold) {
    case Hold::Query:
        Text1->setEnabled(false);
        ListView1->setEnabled(false);
        break;
    case Hold::Icons: break;
    case Hold::WatchMode:
        Text1->setEnabled(false);
        Image2(6)->setEnabled(true); // the courier directory stays at hand
        break;
    }
}

void Form1::unlockControls()
{
    ListView1->setEnabled(true);
    // While a loop or timed query runs the list stays locked; only the
    // courier directory remains at hand.
    if (watchModeRuns()) {
        Image2(6)->setEnabled(true);
        return;
    }
    Text1->setEnabled(true);
    setMenuEnabled(true);
}
