#pragma once

class QWidget;

// Centres a top-level window by its outer size (frame and menu bar included)
// in the part of its screen no taskbar covers, and shows it. A window larger
// than that area is not pushed back onto it.
void SubFrmCntr(QWidget *window);

class QDockWidget;
class QMainWindow;

// Shows `panel`, docked beside the window's central part: a window shown
// at its own size is widened by the panel's width, as far as the screen
// allows, moving left if need be; what does not fit comes off the central
// part, which then scrolls.
void showDockWidened(QMainWindow &window, QDockWidget &panel);
