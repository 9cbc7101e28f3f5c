#include "UiTestEnv.h"

#include "app/core/Startup.h"
#include "app/core/TPictureLibrary.h"
#include "app/ui/TQtMainLoop.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>

#include <cstdlib>
#include <stdexcept>

namespace UiTest {

bool RunCli(const QStringList& args, QString* output) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(Cli, args);
    const bool done = process.waitForFinished(120000);
    *output = QString::fromLocal8Bit(process.readAll());
    return done && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

void EnsureApplication() {
    if (QApplication::instance()) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QStandardPaths::setTestModeEnabled(true); // recent projects go to a test settings folder
    static int argc = 1;
    static char name[] = "app_ui_test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    AppUi::TQtMainLoop::Install();
}

QImage Glyph(int style, int character) {
    QImage glyph(56, 80, QImage::Format_RGB32);
    glyph.fill(Qt::white);
    QPainter painter(&glyph);
    painter.fillRect(character % 40, 0, 8, 80, Qt::black);
    painter.fillRect(0, 10 * style + character % 7, 56, 5, Qt::black);
    painter.end();
    return glyph.convertToFormat(QImage::Format_Mono);
}

QImage MarkedPicture(int width, int height, int seed) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, width - 1, height - 1);
    painter.drawLine(0, 0, width - 1, height - 1);
    painter.fillRect(seed % std::max(1, width - 4), 2, 3, std::max(1, height - 4), Qt::black);
    painter.end();
    return picture.convertToFormat(QImage::Format_Mono);
}

void SaveMonoBmp(const QImage& picture, const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!picture.convertToFormat(QImage::Format_Mono).save(path, "BMP"))
        throw std::runtime_error("cannot write " + path.toStdString());
}

namespace {

std::vector<uint8_t> BmpBytes(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.convertToFormat(QImage::Format_Mono).save(&buffer, "BMP");
    return {bytes.begin(), bytes.end()};
}

void WriteText(const QString& path, const QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + path.toStdString());
    file.write(text.toUtf8());
}

} // namespace

TWorkFolder::TWorkFolder(const TWorkFolderOptions& options) {
    EnsureApplication();
    if (!Program.isValid() || !Work.isValid()) throw std::runtime_error("no temporary folder");
    WriteDefaultPictures();
    if (options.WithSettings) WriteSettings(options);
    if (options.WithLibrary) WriteLibrary(StartPath("VRC-780AS1V2.GLB"));
    if (options.CreateUserLibrary && !options.UserLibrary.empty())
        WriteText(StartPath(QString::fromStdString(options.UserLibrary)), "user library");
    PreviousDir = QDir::currentPath();
    QDir::setCurrent(Work.path());
}

TWorkFolder::~TWorkFolder() {
    QDir::setCurrent(PreviousDir);
}

std::string TWorkFolder::ProgramDir() const {
    return Program.path().toStdString() + "/";
}
std::string TWorkFolder::StartDir() const {
    return QFileInfo(Work.path()).canonicalFilePath().toStdString();
}
QString TWorkFolder::StartPath(const QString& name) const {
    return Work.filePath(name);
}

QString TWorkFolder::LiftStatePath(int state, int variant) const {
    return Program.filePath(
        QStringLiteral("DefaultImage/LiftState/") +
        QString::fromStdString(AppCore::DefaultLiftStateFileName(state, variant)));
}

QString TWorkFolder::FloorPicturePath(int style, const QString& name) const {
    return Program.filePath(
        QStringLiteral("DefaultImage/UserDefine/Floor/Style%1/%2.bmp").arg(style).arg(name));
}

void TWorkFolder::WriteDefaultPictures() {
    for (int s = 0; s < 10; ++s)
        for (int v = 0; v < 4; ++v)
            SaveMonoBmp(MarkedPicture(128, 32, 4 * s + v), LiftStatePath(s, v));
    for (int style = 0; style < 5; ++style)
        SaveMonoBmp(MarkedPicture(112, 80, 50 + style), FloorPicturePath(style, "B1ARROW"));
}

void TWorkFolder::WriteSettings(const TWorkFolderOptions& options) {
    QString text = QStringLiteral("[GLOBAL]\nVCN=3\nITEM1=KRV-RS\nITEM2=KRV-GRY\nITEM3=KRV-BIN\n"
                                  "GLB=VRC-780AS1V2.GLB\n");
    text += QStringLiteral("UBFGLB=%1\nAPNOTE=%2\n")
                .arg(QString::fromStdString(options.UserLibrary),
                     QString::fromStdString(options.ApNote));
    text += QStringLiteral("[KRV-RS]\nOUTCPUBIN=0\nBANK=2\nOFFSET=116\nSETOFFSET=251\n"
                           "[KRV-GRY]\nOUTCPUBIN=0\nBANK=2\nOFFSET=116\nSETOFFSET=251\n"
                           "[KRV-BIN]\nOUTCPUBIN=1\nCFI=251\nIFI=252\nBANK=2\nOFFSET=116\n"
                           "SETOFFSET=251\n");
    WriteText(StartPath("KRVZKF780AS1.INI"), text);
}

void TWorkFolder::WriteLibrary(const QString& path) {
    AppCore::TPictureLibraryBuilder builder;
    builder.Set(0, 0, BmpBytes(MarkedPicture(128, 24, 1)));
    builder.Set(0, 5, BmpBytes(MarkedPicture(104, 24, 2)));
    for (int style = 0; style < 5; ++style) {
        for (int c = '0'; c <= '9'; ++c) builder.Set(style + 1, c, BmpBytes(Glyph(style, c)));
        for (int c = 'A'; c <= 'Z'; ++c) builder.Set(style + 1, c, BmpBytes(Glyph(style, c)));
        builder.Set(style + 1, '-', BmpBytes(Glyph(style, '-')));
    }
    const int arrows[12] = {100, 116, 126, 139, 152, 166, 179, 192, 205, 218, 230, 243};
    for (int s = 0; s < 12; ++s) builder.Set(1, arrows[s], BmpBytes(MarkedPicture(48, 64, s)));
    if (!builder.Save(path.toStdString()))
        throw std::runtime_error("cannot write " + path.toStdString());
}

} // namespace UiTest
