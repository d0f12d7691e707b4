#include "PhotoCache.h"

#include "Error.h"

#include <QFileInfo>
#include <QImageReader>

namespace quvex {

QPixmap PhotoCache::photo(const QString& path) {
    const QFileInfo file(path);
    const qint64 size = file.size();
    const QDateTime modified = file.lastModified();
    if (const Photo* known = m_photos.object(path);
        known && known->size == size && known->modified == modified)
        return known->pixmap;

    const QString suffix = file.suffix().toLower();
    QImageReader reader(path, suffix == QLatin1String("png") ? "png" : "jpeg");
    QImage image = reader.read();
    if (image.isNull())
        throw Error(reader.errorString());
    if (image.width() > photoArea.width() || image.height() > photoArea.height())
        image = image.scaled(photoArea, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    auto* decoded = new Photo{size, modified, QPixmap::fromImage(image)};
    m_photos.insert(path, decoded);
    return decoded->pixmap;
}

} // namespace quvex
