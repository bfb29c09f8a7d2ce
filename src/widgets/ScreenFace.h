#pragma once

class QScreen;
class QWidget;

namespace brinmor {

// Gives `window` and each of its widgets that draws in the designed font the face for `screen`:
// the carried strike at 100 %, its outlines at any other scale.
void SetScreenFace(QWidget& window, const QScreen& screen);

// From now on every window of the program, as it is shown, takes the designed face of the
// screen it is on, and takes it again whenever it moves to another screen: a window between
// monitors of different scales. Call once, after the application object exists.
void FollowScreenFaces();

} // namespace brinmor
