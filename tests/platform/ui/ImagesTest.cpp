#include "platform/ui/Images.h"
#include "support/LogCapture.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace vm {
namespace {

constexpr const char* kUntested =
    "NSImage(Rotated): This code has only been tested for multiples of 90 degrees. (TODO: test and "
    "remove this line)";

// A 100 × 50 picture, white, with a red pixel at its top-left corner.
QImage marked() {
    QImage image(100, 50, QImage::Format_ARGB32);
    image.fill(Qt::white);
    image.setPixelColor(0, 0, Qt::red);
    return image;
}

TEST(Images, QuarterAndHalfTurnsMoveTheCorner) {
    struct Case {
        float degrees;
        QSize size;
        QPoint corner;  // where the red pixel ends up
    };
    for (const Case& c : {Case{90, {50, 100}, {49, 0}}, Case{-270, {50, 100}, {49, 0}},
                          Case{180, {100, 50}, {99, 49}}, Case{270, {50, 100}, {0, 99}},
                          Case{450, {50, 100}, {49, 0}}}) {
        SCOPED_TRACE(c.degrees);
        test::LogCapture log;
        const QImage rotated = images::imageRotated(marked(), c.degrees);
        EXPECT_EQ(rotated.size(), c.size);
        EXPECT_EQ(rotated.pixelColor(c.corner), QColor(Qt::red));
        EXPECT_EQ(rotated.pixelColor(c.size.width() / 2, c.size.height() / 2), QColor(Qt::white));
        EXPECT_TRUE(log.lines().empty());
    }
}

TEST(Images, OtherAnglesGiveASquareAndAWarning) {
    test::LogCapture log;
    const QImage rotated = images::imageRotated(marked(), 45);
    EXPECT_EQ(rotated.size(), QSize(120, 120));
    EXPECT_EQ(rotated.pixelColor(60, 60), QColor(Qt::white));
    EXPECT_EQ(rotated.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(log.lines(), std::vector<std::string>{kUntested});
}

TEST(Images, NoTurnOrTooLargeGivesTheImageItself) {
    const QImage image = marked();
    for (float degrees : {0.0f, 360.0f, -720.0f}) {
        EXPECT_EQ(images::imageRotated(image, degrees).cacheKey(), image.cacheKey());
    }
    test::LogCapture log;
    const QImage wide(8193, 2, QImage::Format_RGB32);
    EXPECT_EQ(images::imageRotated(wide, 90).cacheKey(), wide.cacheKey());
    EXPECT_EQ(log.lines(), std::vector<std::string>{
                               "imageRotated: Too Large:width: 8193.000000, height: 2.000000, "});
}

TEST(Images, ExifTags) {
    const QImage image = marked();
    for (unsigned tag : {0u, 1u, 2u, 4u, 5u, 7u, 9u}) {
        EXPECT_EQ(images::imageRotatedByExifTag(image, tag).cacheKey(), image.cacheKey()) << tag;
    }
    EXPECT_EQ(images::imageRotatedByExifTag(image, 3).pixelColor(99, 49), QColor(Qt::red));
    EXPECT_EQ(images::imageRotatedByExifTag(image, 6).pixelColor(49, 0), QColor(Qt::red));
    EXPECT_EQ(images::imageRotatedByExifTag(image, 8).pixelColor(0, 99), QColor(Qt::red));
}

TEST(Images, ResizedImageFillsTheNewSize) {
    QImage blue(10, 10, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    const QImage resized = images::resizedImage(blue, QSizeF(32.9, 16.2));
    EXPECT_EQ(resized.size(), QSize(32, 16));
    EXPECT_EQ(resized.format(), QImage::Format_RGBA8888);
    EXPECT_EQ(resized.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(resized.pixelColor(31, 15), QColor(Qt::blue));
    EXPECT_TRUE(images::resizedImage(QImage(), QSizeF(10, 10)).isNull());
    EXPECT_TRUE(images::resizedImage(blue, QSizeF(0.5, 10)).isNull());
}

TEST(Images, SetImageAndFrameSizesTheViewInPlace) {
    QLabel view;
    view.setGeometry(7, 9, 5, 5);
    imageViews::setImageAndFrame(view, marked());
    EXPECT_EQ(view.geometry(), QRect(7, 9, 100, 50));
    EXPECT_EQ(view.pixmap().size(), QSize(100, 50));
}

}  // namespace
}  // namespace vm
