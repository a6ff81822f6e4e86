#pragma once
// Rotating, resizing and showing images. Positive angles turn the picture clockwise on the screen,
// as EXIF orientations 6 (90) and 8 (270) expect.
#include <QImage>
#include <QSize>

class QLabel;

namespace vm::images {

// A copy turned by `degrees` round its centre. 0 (and whole turns) gives the image itself; so does
// an image wider or higher than 8192 pixels. Quarter turns swap the size, half turns keep it, and
// any other angle gives a square of the larger side plus 20 with the picture in its middle.
QImage imageRotated(const QImage& image, float degrees);
// EXIF orientation 3 turns by 180, 6 by 90, 8 by 270; any other value gives the image itself.
QImage imageRotatedByExifTag(const QImage& image, unsigned tag);
// The whole image drawn into a new RGBA image of `pixels` (truncated to whole pixels); a null
// image when the image is null or the size is empty.
QImage resizedImage(const QImage& image, QSizeF pixels);

}  // namespace vm::images

namespace vm::imageViews {

// Sizes the label to the image (keeping its position) and shows the image.
void setImageAndFrame(QLabel& view, const QImage& image);

}  // namespace vm::imageViews
