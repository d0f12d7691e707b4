#pragma once

#include <QCache>
#include <QDateTime>
#include <QPixmap>
#include <QString>

namespace quvex {

// Header photos, decoded in the format their extension names and scaled down into the photo
// area, kept by path so that typing through the phone list decodes each photo once. A photo
// whose file changed (size or last-write time) is decoded again.
class PhotoCache {
public:
    static constexpr QSize photoArea{80, 66};
    static constexpr int maxPhotos = 256;

    PhotoCache()
        : m_photos(maxPhotos) {}

    // Throws Error with the image reader's reason when the file cannot be decoded.
    QPixmap photo(const QString& path);

private:
    struct Photo {
        qint64 size;
        QDateTime modified;
        QPixmap pixmap;
    };
    QCache<QString, Photo> m_photos;
};

} // namespace quvex
