#pragma once

namespace orv::qt {

// Makes Qt describe the toolkit's controls to screen readers as what they
// are: the frames as groupings (Qt's own "frame" role is the one of a
// top-level window on AT-SPI, and Orca then ignores the focus inside
// them), the graph as an image, labels with their shown text as text,
// and the list by its caption with its entry as its text. Registering
// twice is harmless: Qt keeps one registration.
void InstallAccessibleInterfaces();

}  // namespace orv::qt
