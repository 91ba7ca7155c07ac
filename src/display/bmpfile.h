#pragma once
// Windows bitmap files of 8 bits per pixel with their colour table, as Save
// Window writes a picture. Qt's own writer stores a picture of few colours
// at 4 bits per pixel, so the file is written here.

#include <string>

#include <QByteArray>
#include <QImage>

// The whole file for an image (converted to 8-bit indexed colour first when
// it is in another format); empty for a null image.
QByteArray Bitmap8File(const QImage& image);
// Writes the file; false when it cannot be written in full (nothing is
// left behind then).
bool SaveBitmap8(const QImage& image, const std::string& path);
