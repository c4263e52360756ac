#include "widgets/PictureLoader.h"

#include "platform/Error.h"

#include <QFileInfo>
#include <QImageReader>

namespace tombolix {

QImage loadPicture(const QString& path) {
    const QString ext = QFileInfo(path).suffix().toLower();
    QByteArray format;
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        format = "jpg";
    else if (ext == QLatin1String("bmp") || ext == QLatin1String("ico") ||
             ext == QLatin1String("png") || ext == QLatin1String("gif"))
        format = ext.toLatin1();
    else if (ext == QLatin1String("emf") || ext == QLatin1String("wmf"))
        throw FileError(QStringLiteral("不支持 %1 格式的图片：%2\n请改用 JPG、PNG 或 BMP 图片。")
                            .arg(ext.toUpper(), path));
    else
        throw FileError(QStringLiteral("未知的图片格式：%1").arg(path));
    if (!QFileInfo::exists(path))
        throw FileError(QStringLiteral("找不到图片文件：%1").arg(path));
    QImageReader reader(path, format);
    QImage image = reader.read();
    if (image.isNull())
        throw FileError(QStringLiteral("无法读取图片 %1：%2").arg(path, reader.errorString()));
    return image;
}

} // namespace tombolix
