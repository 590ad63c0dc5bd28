#pragma once

class QWidget;

namespace vantrel {

// A short horizontal shake of one widget, the feedback for a refused password. Returns at once;
// the animation runs on the event loop. `count` cycles of +amplitude to -amplitude and back
// (linear) take `duration` seconds in all. Shaking a widget that is already shaking replaces the
// running shake. The widget ends where its layout put it; its text and focus are untouched.
void shake(QWidget* view, float count = 3.0f, double duration = 0.3, float amplitude = 10.0f);

} // namespace vantrel
