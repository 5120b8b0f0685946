#pragma once

class QWidget;

namespace endomira {

// Turns SIGTERM and SIGINT into a close of the given window on the event loop, so that the
// program ends through its normal path.
void CloseOnTerminationSignals(QWidget* window);

} // namespace endomira
