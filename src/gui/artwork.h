#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn rather than loaded so that they stay sharp at
// any device pixel ratio: a quill over an open book.
namespace Artwork {

// The splash picture: 250 x 273 logical pixels.
QPixmap splashPicture(qreal devicePixelRatio);

// The window icon at `size` x `size` pixels.
QPixmap iconPicture(int size);

// The window icon, drawn at whatever size the platform asks for, when it asks.
QIcon icon();

} // namespace Artwork
