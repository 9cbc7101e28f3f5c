#include "tools/sampledata/MonoImage.h"

namespace SampleData {

QImage NewCanvas(int width, int height) {
    QImage canvas(width, height, QImage::Format_Grayscale8);
    canvas.fill(255);
    return canvas;
}

QImage ToMono(const QImage& canvas) {
    const QImage grey = canvas.convertToFormat(QImage::Format_Grayscale8);
    QImage mono(grey.width(), grey.height(), QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* row = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x) mono.setPixel(x, y, row[x] < 128 ? 0 : 1);
    }
    return mono;
}

QImage InvertMono(const QImage& mono) {
    QImage out = mono.copy();
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) out.setPixel(x, y, IsBlack(mono, x, y) ? 1 : 0);
    return out;
}

bool IsBlack(const QImage& mono, int x, int y) {
    return (mono.pixel(x, y) & 0xFFFFFF) == 0;
}

int BlackPixelCount(const QImage& mono) {
    int n = 0;
    for (int y = 0; y < mono.height(); ++y)
        for (int x = 0; x < mono.width(); ++x) n += IsBlack(mono, x, y);
    return n;
}

int DifferentPixelCount(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += IsBlack(a, x, y) != IsBlack(b, x, y);
    return n;
}

} // namespace SampleData
