#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

class QPainter;

// The images of the toolbar, by key: the fourteen button keys, the greyed
// images IDNUP, IDNDOWN, IDNDEL and IDNEDIT, and IDNEXT, the extension
// protection switched on (IDEXT shows it off). An unknown key gives an empty
// image.
QPixmap ToolbarImage(const QString &key, int size = 24);

// An icon that shows the image of key in every state of its button, so that
// a greyed image is what a disabled button shows.
QIcon ToolbarIcon(const QString &key);

// The small folder picture of the folder box's button.
QIcon FolderButtonIcon();

// The program's icon, in the style of the toolbar, for every window.
QIcon ApplicationIcon();

// Paints the program's icon on a 24 x 24 grid: the icon files installed for
// the desktop are drawn from the same picture as the windows' icon.
void PaintApplicationIcon(QPainter &painter);
