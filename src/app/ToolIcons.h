// The pictures of the main window's tool buttons and the program's own
// picture, drawn rather than loaded so the program needs no image files.
#pragma once

#include <QIcon>
#include <QPixmap>

enum TToolIcon {
    tiPointer, tiText, tiMultiLineText, tiSymbol, tiRectangle, tiEllipse, tiRoundRect, tiLine, tiImage,
    tiSuperShape, tiRichText, tiSuperText, tiCircleText, tiQRCode, tiGrid, tiSnap, tiBackgroundArt, tiHelpPointer
};

QIcon ToolIcon(TToolIcon kind);
// A stack of business cards: the window icon and the About picture.
QPixmap ProgramPicture(int size);
