// Conversions between the framework's values and Qt's, shared by the Qt backend's files.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>

#include <cstdint>
#include <string>

#include "framework/controls.h"

namespace vantor {

inline QString ToQString(const std::string& Utf8) {
  return QString::fromUtf8(Utf8.data(), static_cast<qsizetype>(Utf8.size()));
}

inline std::string FromQString(const QString& Text) {
  return Text.toUtf8().toStdString();
}

// 0x00RRGGBB.
inline QColor ToQColor(std::uint32_t Rgb) {
  return QColor::fromRgb((Rgb >> 16) & 0xFF, (Rgb >> 8) & 0xFF, Rgb & 0xFF);
}

// TBitmap32 holds 0xAARRGGBB words with straight alpha: Qt's ARGB32 exactly.
inline QImage ToQImage(const TBitmap32& Bitmap) {
  if (Bitmap.Width <= 0 || Bitmap.Height <= 0 ||
      Bitmap.Pixels.size() != static_cast<std::size_t>(Bitmap.Width) * Bitmap.Height)
    return QImage();
  const QImage View(reinterpret_cast<const uchar*>(Bitmap.Pixels.data()), Bitmap.Width,
                    Bitmap.Height, qsizetype{Bitmap.Width} * 4, QImage::Format_ARGB32);
  return View.copy();  // the view borrows the pixels; the copy owns its own
}

}  // namespace vantor
