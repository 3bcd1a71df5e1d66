#include "app/JpegImage.h"

#include <QFile>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

QByteArray picture(const char* name)
{
    QFile f(QStringLiteral(KTR_SOURCE_DIR "/app/gui/pictures/") + QLatin1String(name) + QStringLiteral(".jpg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Rgb {
    int r, g, b;
};

Rgb pixel(const JpegImage& image, int x, int y)
{
    const auto* p = reinterpret_cast<const unsigned char*>(image.rgb.constData()) + (qsizetype(y) * image.width + x) * 3;
    return {p[0], p[1], p[2]};
}

bool near(Rgb a, Rgb b, int tolerance = 24)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

} // namespace

TEST(JpegImage, PlacementPicturesDecodeAtTheirSize)
{
    for (const char* name : {"J0", "J1", "J2", "Image1"}) {
        const QByteArray data = picture(name);
        ASSERT_FALSE(data.isEmpty()) << name;
        EXPECT_GE(data.size(), 10 * 1024) << name;
        EXPECT_LE(data.size(), 17 * 1024) << name;
        QString error;
        const auto image = decodeJpeg(data, &error);
        ASSERT_TRUE(image) << name << ": " << error.toStdString();
        EXPECT_EQ(image->width, 240);
        EXPECT_EQ(image->height, 338);
        EXPECT_EQ(image->rgb.size(), 240 * 338 * 3);
    }
}

TEST(JpegImage, PixelsComeOutInRgbOrderTopRowFirst)
{
    const auto image = decodeJpeg(picture("J0"));
    ASSERT_TRUE(image);
    // The socket body is blue, the board light and lighter at the top.
    const Rgb body = pixel(*image, 120, 200);
    EXPECT_TRUE(near(body, {0x2f, 0x66, 0xb0})) << body.r << "," << body.g << "," << body.b;
    const Rgb top = pixel(*image, 4, 4);
    const Rgb bottom = pixel(*image, 4, 333);
    EXPECT_GT(top.r + top.g + top.b, bottom.r + bottom.g + bottom.b);
    // The chip in J1 is black where J0 shows the socket.
    const auto chip = decodeJpeg(picture("J1"));
    ASSERT_TRUE(chip);
    EXPECT_TRUE(near(pixel(*chip, 120, 100), {0x1b, 0x1b, 0x1b}));
    EXPECT_TRUE(near(pixel(*image, 120, 100), {0x2f, 0x66, 0xb0}));
}

TEST(JpegImage, DataThatIsNoPictureIsRefusedWithAReason)
{
    QString error;
    EXPECT_FALSE(decodeJpeg(QByteArray(), &error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(decodeJpeg(QByteArray("not a picture at all, just text"), &error));
    EXPECT_FALSE(error.isEmpty());
    // A header cut short before the image data.
    EXPECT_FALSE(decodeJpeg(picture("J2").left(64), &error));
}

TEST(JpegImage, AbsurdDimensionsAreRefusedBeforeAnyAllocation)
{
    QByteArray data = picture("J0");
    ASSERT_FALSE(data.isEmpty());
    // Patch the frame header's height and width to 20000 x 20000: within
    // what the format allows, far beyond any picture of ours.
    const int sof = data.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    for (int i : {5, 7}) {
        data[sof + i] = char(0x4E);
        data[sof + i + 1] = char(0x20);
    }
    QString error;
    EXPECT_FALSE(decodeJpeg(data, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("too large"))) << error.toStdString();
}
