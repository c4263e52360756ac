#pragma once

#include <QImage>
#include <QString>

namespace tombolix {

// Loads a picture, its kind chosen by the file's extension: bmp, ico, jpg,
// jpeg, png, gif. Raises FileError with a clear text when the file is
// missing, of another kind, or damaged.
QImage loadPicture(const QString& path);

} // namespace tombolix
