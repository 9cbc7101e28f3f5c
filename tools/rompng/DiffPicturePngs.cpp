#include "tools/rompng/DiffPicturePngs.h"

#include "XVclUtil/AtomicFile.h"
#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/PlatformPaths.h"
#include "tools/rompng/RomPicturePngs.h"

#include <QBuffer>
#include <QPainter>

#include <algorithm>
#include <filesystem>
#include <set>

namespace RomPng {

namespace {

constexpr int Scale = 2;
constexpr int Gap = 8;
const QColor Background(200, 200, 200);

QImage ViewOf(const Rom::TRomImageReader& reader, const std::string& name) {
    for (const Rom::TRomPicture& p : reader.Pictures())
        if (p.Name == name) {
            const Rom::TPicture picture = reader.ViewImage(p);
            if (!picture.IsNull()) return ToQImage(picture);
        }
    return QImage();
}

// Both pictures scaled up on a grey ground; a picture one image lacks leaves its side empty.
QImage SideBySide(const QImage& left, const QImage& right) {
    const int w = std::max(left.width(), right.width()) * Scale;
    const int h = std::max(left.height(), right.height()) * Scale;
    QImage out(std::max(1, 3 * Gap + 2 * w), std::max(1, 2 * Gap + h), QImage::Format_RGB32);
    out.fill(Background);
    QPainter painter(&out);
    if (!left.isNull()) painter.drawImage(Gap, Gap, left.scaled(left.size() * Scale));
    if (!right.isNull()) painter.drawImage(2 * Gap + w, Gap, right.scaled(right.size() * Scale));
    return out;
}

} // namespace

std::vector<std::string> WriteDiffPngs(const Rom::TRomImageReader& a, const Rom::TRomImageReader& b,
                                       const std::vector<Rom::TRomDifference>& differences,
                                       const std::string& dir) {
    std::error_code ec;
    std::filesystem::create_directories(XVclUtil::FsPath(dir), ec);
    if (ec)
        throw XVclUtil::EXGeneral("Err: cannot make %s (%s)", dir.c_str(), ec.message().c_str());
    std::vector<std::string> written;
    std::set<std::string> done;
    for (const Rom::TRomDifference& d : differences) {
        if (d.Picture.empty() || !done.insert(d.Picture).second) continue;
        const QImage left = ViewOf(a, d.Picture), right = ViewOf(b, d.Picture);
        if (left.isNull() && right.isNull()) continue; // raw data: no picture to draw
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        const std::string path = XVclUtil::JoinPath(dir, d.Picture + ".png");
        std::string why = "cannot encode the picture";
        if (!SideBySide(left, right).save(&buffer, "PNG") ||
            !XVclUtil::WriteFileAtomically(path, png.constData(),
                                           static_cast<std::size_t>(png.size()), &why,
                                           XVclUtil::TLinkPolicy::Replace))
            throw XVclUtil::EXGeneral("Err: cannot write %s (%s)", path.c_str(), why.c_str());
        written.push_back(path);
    }
    return written;
}

} // namespace RomPng
