#pragma once
// Pictures embedded in hint files: a PNG stream at some offset of the file is
// decoded into an 8-bit indexed image with its colour table, and overlays are
// drawn onto such an image.

#include <cstdint>
#include <string>

#include <QImage>

#include "model/pngobject.h"

// Images whose width x height exceeds this are refused before any pixel
// memory is allocated, whatever their header claims.
inline constexpr std::uint64_t MaxPicturePixels = 64ull * 1024 * 1024;

// The true-colour palette: entries CubeFirst .. CubeFirst + 215 hold the
// 6 x 6 x 6 colour cube (entry CubeFirst + 36r + 6g + b has the components
// 51r, 51g, 51b); the entries around it are black.
inline constexpr int CubeFirst = 20;
inline constexpr int CubeEntries = 216;

// Decodes the PNG stream that starts at byte `offset` of the file `path`
// (UTF-8) into a QImage::Format_Indexed8 image of the PNG's size:
// - palette images (and colour images with a palette chunk) get exactly that
//   palette as colour table; packed pixels are expanded to one byte each;
// - true-colour images get the 256-entry cube palette above;
// - greyscale images get a ramp of 256 greys, pixel value = grey level;
// - 16-bit channels are reduced to 8, interlaced images are deinterlaced;
// - transparency (alpha channel, tRNS) is composited over `background`.
// Returns a null image when the file cannot be read or the stream is not a
// PNG that decodes cleanly (any library error, a short stream, an image
// beyond MaxPicturePixels). Opens and closes the file on every call.
// The decoded picture of a picture item: its image (null after a failed
// decode), or none when the item is no picture or was not decoded.
QImage* DecodedPicture(const TZEBObject& item);

QImage CreateDIB(const std::string& path, std::int64_t offset, QRgb background = qRgb(255, 255, 255));

// Draws an indexed overlay opaquely onto an indexed base with its top-left
// corner at (x, y), clipped to the base. The base keeps its colour table as
// far as it can: each overlay colour goes to an equal entry of the base's
// table, else to a new entry while the table has fewer than 256, else to the
// nearest entry. Does nothing unless both images are Format_Indexed8.
void DrawOverlay(QImage& base, const QImage& overlay, int x, int y);

// A decoded picture, kept by a TPNGObject (its Bitmap) or by an overlay record.
class TPictureImage : public TPictureData {
 public:
  explicit TPictureImage(QImage image) : Image(std::move(image)) {}

  QImage Image;
};
