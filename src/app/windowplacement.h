#pragma once

class QWidget;

// Centres a top-level window on its screen by its outer size (frame and menu
// bar included) and shows it. A window larger than the screen is not pushed
// back onto it.
void SubFrmCntr(QWidget *window);
