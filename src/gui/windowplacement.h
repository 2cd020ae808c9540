#pragma once

class QWidget;

// Centres a top-level window by its outer size (frame and menu bar included)
// in the part of its screen no taskbar covers, and shows it. A window larger
// than that area is not pushed back onto it.
void SubFrmCntr(QWidget *window);
