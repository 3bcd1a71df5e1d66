#pragma once
// The program's own pictures: the chip-placement JPEGs (decoded by our
// decoder, not by an image plug-in) and the tool-bar icons.

#include <QIcon>
#include <QImage>
#include <QString>

// A JPEG picture of the resources by name ("J0", "J1", "J2", "Image1"); a null
// image when it is missing or cannot be decoded.
QImage placementPicture(const QString& name);

// A tool-bar icon by name ("open", "save", "read", ...), drawn at 32 x 32.
QIcon toolIcon(const QString& name);
