#pragma once
// Decodes a JPEG picture into plain RGB bytes with libjpeg; the windows wrap
// the bytes in an image of their own.

#include <QByteArray>
#include <QString>
#include <optional>

struct JpegImage {
    int width = 0;
    int height = 0;
    QByteArray rgb;  // width * 3 bytes a row, rows top to bottom, no padding
};

// nullopt for data that is no JPEG or is damaged; error then says why.
std::optional<JpegImage> decodeJpeg(const QByteArray& data, QString* error = nullptr);
